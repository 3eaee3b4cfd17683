#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "text/Prompt.h"

namespace tessaly::test {

// Records every box it is asked to show, in order and by kind, and answers every question the same way,
// or with what onQuestion returns when it is set. A question keeps its default button, a message has none.
class RecordingPrompt : public Prompt {
  public:
    struct Box {
        std::string caption;
        std::string text;
        PromptIcon icon;
        std::optional<PromptAnswer> preset;
        bool operator==(const Box&) const = default;
    };

    explicit RecordingPrompt(bool answer = false) : answer_(answer) {}

    void ShowMessage(const std::string& caption, const std::string& text, PromptIcon icon) override {
        boxes.push_back({caption, text, icon, std::nullopt});
        messages.push_back(boxes.back());
    }
    bool AskYesNo(const std::string& caption, const std::string& text, PromptIcon icon,
                  PromptAnswer preset) override {
        boxes.push_back({caption, text, icon, preset});
        questions.push_back(boxes.back());
        return onQuestion ? onQuestion() : answer_;
    }
    using Prompt::AskYesNo;

    // The texts of the messages shown with that icon, in order.
    std::vector<std::string> Texts(PromptIcon icon) const {
        std::vector<std::string> texts;
        for (const Box& box : messages) {
            if (box.icon == icon) {
                texts.push_back(box.text);
            }
        }
        return texts;
    }
    std::vector<std::string> Errors() const { return Texts(PromptIcon::Error); }
    std::vector<std::string> QuestionTexts() const {
        std::vector<std::string> texts;
        for (const Box& box : questions) {
            texts.push_back(box.text);
        }
        return texts;
    }

    std::vector<Box> boxes;
    std::vector<Box> messages;
    std::vector<Box> questions;
    std::function<bool()> onQuestion;

  private:
    bool answer_;
};

}  // namespace tessaly::test
