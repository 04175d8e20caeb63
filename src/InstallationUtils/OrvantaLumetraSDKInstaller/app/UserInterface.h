// What the engine asks of the person in front of the machine. The UI layer implements it with message boxes
// owned by the wizard; the engine's tests implement it with a script of answers.
#pragma once

#include <string>

namespace ui {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Exclamation, Question, Information };
enum class Answer { Ok, Yes, No };

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // A message box with the given caption; owned by the main window when `owned` and one exists.
    virtual Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons, Icon icon,
                              bool owned) = 0;
    // The application's own message box (raised from worker threads): caption = the program file's base name,
    // exclamation icon, OK button, owned by the main window when there is one.
    virtual void applicationMessage(const std::string& text) = 0;
};

}  // namespace ui
