# Sources of ui/grid/, relative to ui/.
