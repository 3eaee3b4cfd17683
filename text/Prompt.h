#pragma once

#include <string>

namespace tessaly {

enum class PromptIcon { Error, Question, Information };

// The button of a question that Enter presses.
enum class PromptAnswer { No, Yes };

// The message boxes the core asks for. The desktop shows them on the user-interface thread, the command
// line prints them and answers from its options, tests script the answers. An empty caption stands for
// the application's title.
class Prompt {
  public:
    virtual ~Prompt() = default;

    // A box with an OK button; returns when the user has seen it.
    virtual void ShowMessage(const std::string& caption, const std::string& text, PromptIcon icon) = 0;
    // A Yes/No question with preset as its default button; true for Yes. A question defaults to No only
    // where Yes would change the system (a driver installed or removed).
    virtual bool AskYesNo(const std::string& caption, const std::string& text, PromptIcon icon,
                          PromptAnswer preset) = 0;

    // The boxes the document layer shows: an error, and a question about the user's data.
    void ShowError(const std::string& text) { ShowMessage({}, text, PromptIcon::Error); }
    bool AskYesNo(const std::string& text) {
        return AskYesNo({}, text, PromptIcon::Question, PromptAnswer::Yes);
    }
};

}  // namespace tessaly
