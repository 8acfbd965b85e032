#pragma once

class IMessageBoxService;
class IFileDialogService;
class IWaitCursorService;
class IProfile;
class IQuestionService;

// What the window needs of the platform, gathered so that tests can replace each piece.
struct CUiServices {
    IMessageBoxService* messageBox = nullptr;
    IFileDialogService* fileDialogs = nullptr;
    IWaitCursorService* waitCursor = nullptr;
    IProfile* profile = nullptr;
    IQuestionService* questions = nullptr;
};
