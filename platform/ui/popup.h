// Message, confirmation and file dialogs all pass through one hook, so that tests can answer them
// (see popup_script.h). The default hook shows Qt dialogs.
#pragma once

#include "platform/ui/userint.h"

#include <functional>
#include <string>

enum class PopupKind { Message, Confirm, FileSelect };

struct PopupRequest {
    PopupKind kind = PopupKind::Message;
    std::string title;
    std::string text;                           // Message and Confirm
    ConfirmDefault enter = ConfirmDefault::Yes; // Confirm: the button Enter presses
    // FileSelect only:
    std::string directory;
    std::string fileSpec;  // default file name or pattern, e.g. "*.ecd"
    std::string fileTypes; // patterns separated by ';'
    int buttonLabel = 0;   // VAL_OK_BUTTON, VAL_LOAD_BUTTON, VAL_SAVE_BUTTON
    bool restrictDirectory = false;
    bool restrictExtension = false;
    bool allowCancel = true;
    bool allowMakeDirectory = false;
    // With the extension restricted to one pattern "*.ext": "ext", which the dialog itself gives a name
    // typed without an extension, so that the file it asks about replacing is the file that is written.
    std::string defaultSuffix;
};

struct PopupAnswer {
    int result =
        0; // Confirm: 1 yes, 0 no; FileSelect: VAL_NO_FILE_SELECTED, VAL_EXISTING_/VAL_NEW_FILE_SELECTED
    std::string path; // FileSelect: the chosen file
};

using PopupHook = std::function<PopupAnswer(const PopupRequest&)>;

// Installs a hook (an empty one restores the Qt dialogs) and returns the one it replaces.
PopupHook SetPopupHook(PopupHook hook);
