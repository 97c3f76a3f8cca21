#include "ui/casting/Untcastinput.h"

#include "platform/Clock.h"
#include "ui/casting/Untbagua.h"
#include "ui/casting/Untgname.h"
#include "ui/casting/Untgother.h"
#include "ui/casting/Untgtime.h"
#include "ui/common/Untprompt.h"

namespace qingheng {

namespace {

PromptIcon IconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Information:
            return PromptIcon::Information;
        case MessageKind::Warning:
            return PromptIcon::Warning;
        case MessageKind::Stop:
            return PromptIcon::Stop;
        case MessageKind::Plain:
            return PromptIcon::None;
    }
    return PromptIcon::None;
}

// The input box loop shared by number and character casting.
std::optional<CastResult> AskUntilValid(QWidget* parent, CastingMethod method, std::string_view prompt,
                                        CastAttempt (*cast)(std::string_view)) {
    for (;;) {
        const auto answer = prompts().inputText(parent, qstr(CastingMethodLabel(method)), qstr(prompt), QString());
        if (!answer || answer->isEmpty()) return std::nullopt;
        const CastAttempt attempt = cast(answer->toStdString());
        if (attempt.result) return attempt.result;
        showCastMessage(parent, *attempt.refusal);
        if (!attempt.refusal->askAgain) return std::nullopt;
    }
}

}  // namespace

void showCastMessage(QWidget* parent, const CastMessage& message) {
    prompts().message(parent, qstr(message.text), qstr(message.caption), IconOf(message.kind));
}

std::optional<CastResult> askNumberCast(QWidget* parent) {
    return AskUntilValid(parent, CastingMethod::Number, kNumberCastPrompt, CastNumberText);
}

std::optional<CastResult> askCharacterCast(QWidget* parent) {
    return AskUntilValid(parent, CastingMethod::Characters, kCharacterCastPrompt, CastCharacterText);
}

std::optional<MethodCast> runCastingMethod(QWidget* parent, CastingMethod method, TimeCastingEntry& entry) {
    std::optional<CastResult> result;
    std::optional<DateRecord> lifetimeDate;
    switch (method) {
        case CastingMethod::Coins: {
            TFrmGua dialog(parent);
            dialog.exec();
            if (dialog.accepted()) result = dialog.castResult();
            break;
        }
        case CastingMethod::Time: {
            TFrmGTime dialog(entry, parent);
            if (dialog.exec() == QDialog::Accepted) {
                result = dialog.castResult();
                if (dialog.lifetime()) lifetimeDate = dialog.gregorian();
            }
            break;
        }
        case CastingMethod::Name: {
            TFrmGName dialog(parent);
            if (dialog.exec() == QDialog::Accepted) result = dialog.castResult();
            break;
        }
        case CastingMethod::Number:
            result = askNumberCast(parent);
            break;
        case CastingMethod::Characters:
            result = askCharacterCast(parent);
            break;
        case CastingMethod::Other: {
            TFrmGuaOther dialog(parent);
            dialog.exec();
            if (dialog.accepted()) result = dialog.castResult();
            break;
        }
        case CastingMethod::Random:
            result = CastRandom(appRandom());
            break;
    }
    if (!result) return std::nullopt;
    return MethodCast{*result, lifetimeDate};
}

}  // namespace qingheng
