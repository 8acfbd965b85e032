# Sources of ui/frame/, relative to ui/.
