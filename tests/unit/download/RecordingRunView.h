// A progress dialog's window for the run tests: it keeps what the run showed and answers the Abort question
// from the test's choice.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "download/RunView.h"

class RecordingRunView : public download::RunView {
public:
    void setCaption(const std::string& text) override { caption = text; }
    void setHeader(const std::string& first, const std::string& second) override {
        headerFirst = first;
        headerSecond = second;
    }
    void setLines(const std::string& s, const std::string& z, const std::string& i) override {
        status = s;
        size = z;
        install = i;
    }
    void setProgress(int position) override { progress = position; }
    void startTimer(unsigned id, unsigned periodMs) override { timers[id] = periodMs; }
    void stopTimer(unsigned id) override { timers.erase(id); }
    void pause(unsigned ms) override { pauses.push_back(ms); }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back({text, caption});
        return answerYes;
    }
    void end(components::DialogEnd code) override { ended.push_back(code); }

    bool timerRunning(unsigned id) const { return timers.count(id) != 0; }

    std::string caption, headerFirst, headerSecond, status, size, install;
    int progress = -1;
    std::map<unsigned, unsigned> timers;  // running timers and their periods
    std::vector<unsigned> pauses;
    std::vector<std::pair<std::string, std::string>> questions;  // text, caption
    bool answerYes = true;
    std::vector<components::DialogEnd> ended;
};
