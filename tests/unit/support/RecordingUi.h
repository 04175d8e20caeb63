// A user interface for engine tests: records every message and answers questions from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/UserInterface.h"

struct RecordedMessage {
    std::string text;
    std::string caption;
    ui::Buttons buttons = ui::Buttons::Ok;
    bool applicationBox = false;
};

class RecordingUi : public ui::UserInterface {
public:
    ui::Answer messageBox(const std::string& text, const std::string& caption, ui::Buttons buttons, ui::Icon,
                          bool) override {
        messages.push_back({text, caption, buttons, false});
        if (buttons == ui::Buttons::Ok) return ui::Answer::Ok;
        if (answers.empty()) return ui::Answer::No;
        ui::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void applicationMessage(const std::string& text) override { messages.push_back({text, "", ui::Buttons::Ok, true}); }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (auto& m : messages) out.push_back(m.text);
        return out;
    }

    std::vector<RecordedMessage> messages;
    std::deque<ui::Answer> answers;
};
