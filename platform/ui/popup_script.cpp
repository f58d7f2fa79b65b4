// Scripted answers to popups for tests.
#include "platform/ui/popup_script.h"

ScriptedPopups::ScriptedPopups() {
    previous_ = SetPopupHook([this](const PopupRequest& r) { return Answer(r); });
}

ScriptedPopups::~ScriptedPopups() {
    SetPopupHook(std::move(previous_));
}

ScriptedPopups& ScriptedPopups::ExpectMessage() {
    queue_.push_back({PopupKind::Message, {}});
    return *this;
}

ScriptedPopups& ScriptedPopups::AnswerConfirm(bool yes) {
    queue_.push_back({PopupKind::Confirm, {yes ? 1 : 0, {}}});
    return *this;
}

ScriptedPopups& ScriptedPopups::PressEnter() {
    queue_.push_back({PopupKind::Confirm, {}, true});
    return *this;
}

ScriptedPopups& ScriptedPopups::AnswerFile(std::string path, int result) {
    queue_.push_back({PopupKind::FileSelect, {result, std::move(path)}});
    return *this;
}

ScriptedPopups& ScriptedPopups::CancelFile() {
    queue_.push_back({PopupKind::FileSelect, {VAL_NO_FILE_SELECTED, {}}});
    return *this;
}

int ScriptedPopups::UnexpectedCount() const {
    int n = 0;
    for (const Record& r : records_)
        n += r.expected ? 0 : 1;
    return n;
}

std::string ScriptedPopups::Report() const {
    static const char* const kNames[] = {"message", "confirm", "file"};
    std::string out;
    for (const Record& r : records_)
        out += std::string(r.expected ? "" : "UNEXPECTED ") + kNames[static_cast<int>(r.kind)] + " \"" +
               r.title + "\": \"" + r.text + "\"\n";
    if (!queue_.empty()) out += std::to_string(queue_.size()) + " queued answer(s) unused\n";
    return out;
}

PopupAnswer ScriptedPopups::Answer(const PopupRequest& r) {
    const bool expected = !queue_.empty() && queue_.front().kind == r.kind;
    records_.push_back(
        {r.kind, r.title, r.kind == PopupKind::FileSelect ? r.fileSpec : r.text, expected, r.enter});
    if (!expected) return {}; // "no", cancelled
    const Queued q = queue_.front();
    queue_.pop_front();
    if (q.enter) return {r.enter == ConfirmDefault::Yes ? 1 : 0, {}};
    return q.answer;
}
