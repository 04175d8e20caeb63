// Puts every message box and its answer into the run log, whichever user interface answers it.
#pragma once

#include <string>

#include "app/RunLog.h"
#include "app/RunLogTexts.h"
#include "app/UserInterface.h"

namespace runlog {

class LoggingUserInterface : public ui::UserInterface {
public:
    explicit LoggingUserInterface(ui::UserInterface& inner) : inner_(inner) {}

    ui::Answer messageBox(const std::string& text, const std::string& caption, ui::Buttons buttons, ui::Icon icon,
                          bool owned) override {
        ui::Answer answer = inner_.messageBox(text, caption, buttons, icon, owned);
        line(std::string(runlogtexts::MessageBox) + text + runlogtexts::Answer + answerText(answer));
        return answer;
    }
    void applicationMessage(const std::string& text) override {
        inner_.applicationMessage(text);
        line(runlogtexts::ApplicationMessage + text);
    }

    ui::UserInterface& inner() { return inner_; }

private:
    static const char* answerText(ui::Answer answer) {
        switch (answer) {
            case ui::Answer::Yes:
                return runlogtexts::AnswerYes;
            case ui::Answer::No:
                return runlogtexts::AnswerNo;
            default:
                return runlogtexts::AnswerOk;
        }
    }
    ui::UserInterface& inner_;
};

}  // namespace runlog
