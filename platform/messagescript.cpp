#include "messagescript.h"

MessageScript messageScript;

void MessageScript::Stop() {
    active_ = false;
    answers_.clear();
}

void MessageScript::Queue(int answer) {
    answers_.push_back(answer);
    active_ = true;
}

std::optional<int> MessageScript::Answer(MessageKind kind, const QString& title,
                                         const QString& text, int style, int defaultAnswer) {
    if (!active_) return std::nullopt;
    int answer = defaultAnswer;
    MessageOutcome outcome = MessageOutcome::Defaulted;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
        outcome = MessageOutcome::Scripted;
    }
    log_.push_back({kind, title, text, style, answer, outcome});
    return answer;
}

void MessageScript::RecordShown(MessageKind kind, const QString& title, const QString& text,
                                int style, int answer) {
    log_.push_back({kind, title, text, style, answer, MessageOutcome::Shown});
}

void MessageScript::Reset() {
    Stop();
    log_.clear();
}
