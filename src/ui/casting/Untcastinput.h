#pragma once
// The procedures of the casting methods as the main window calls them: the input boxes of
// number and character casting, and one call that runs any method's dialog or input box.
#include <QString>

#include <optional>

#include "calendar/Yidate.h"
#include "casting/Casting.h"
#include "casting/TimeCasting.h"
#include "ui/common/Unttext.h"

class QWidget;

namespace qingheng {

// Shows a refusal of a casting input as a message box.
void showCastMessage(QWidget* parent, const CastMessage& message);

// Number casting: asks for the digits until they are valid; nullopt on cancel or an empty answer.
std::optional<CastResult> askNumberCast(QWidget* parent);

// Character casting: asks for the characters until they are valid; nullopt on cancel, an
// empty answer, or a character without a stroke count (after its message).
std::optional<CastResult> askCharacterCast(QWidget* parent);

// A method's cast as the main window takes it over.
struct MethodCast {
    CastResult result;
    // Lifetime casting: the dialog's date becomes the casting time (Gregorian, not leap).
    std::optional<DateRecord> lifetimeDate;
};

// Runs the procedure of a method (its dialog, input box, or the random draw). entry holds
// the remembered entries of the time dialog and is updated by a successful time cast.
// nullopt when the user cancelled or the input was refused.
std::optional<MethodCast> runCastingMethod(QWidget* parent, CastingMethod method, TimeCastingEntry& entry);

}  // namespace qingheng
