// Test helper: answers message, confirmation and file popups from a queue instead of showing dialogs.
// While it lives it replaces the popup hook; the previous hook comes back when it goes.
//
//   ScriptedPopups popups;
//   popups.AnswerConfirm(true).AnswerFile("/tmp/a.ecd").PressEnter();
//   ... act ...
//   EXPECT_TRUE(popups.AllExpected()) << popups.Report();
//
// Answers are used in order. A popup whose kind differs from the next queued answer, or that comes when
// the queue is empty, is unexpected: it is recorded, answered "no" / cancelled, and never blocks.
#pragma once

#include "platform/ui/popup.h"
#include "platform/ui/userint.h"

#include <deque>
#include <string>
#include <vector>

class ScriptedPopups {
  public:
    struct Record {
        PopupKind kind;
        std::string title;
        std::string text; // message text; for a file popup the proposed file name
        bool expected;
        ConfirmDefault enter; // a confirmation's default button
    };

    ScriptedPopups();
    ~ScriptedPopups();
    ScriptedPopups(const ScriptedPopups&) = delete;
    ScriptedPopups& operator=(const ScriptedPopups&) = delete;

    ScriptedPopups& ExpectMessage();
    ScriptedPopups& AnswerConfirm(bool yes);
    // The next confirmation answered with Enter: its default button.
    ScriptedPopups& PressEnter();
    ScriptedPopups& AnswerFile(std::string path, int result = VAL_EXISTING_FILE_SELECTED);
    ScriptedPopups& CancelFile();

    // Every popup shown so far, in order.
    const std::vector<Record>& Records() const { return records_; }
    int UnexpectedCount() const;
    // Queued answers that no popup used.
    std::size_t Unused() const { return queue_.size(); }
    // No unexpected popup and no unused answer.
    bool AllExpected() const { return UnexpectedCount() == 0 && Unused() == 0; }
    // One line per popup, for assertion messages.
    std::string Report() const;

  private:
    PopupAnswer Answer(const PopupRequest& r);

    struct Queued {
        PopupKind kind;
        PopupAnswer answer;
        bool enter = false; // a confirmation answered by its default button
    };
    std::deque<Queued> queue_;
    std::vector<Record> records_;
    PopupHook previous_;
};
