#include "report/CardErrorMessage.h"

#include <array>

namespace {

constexpr std::int32_t FirstCode = 32;
constexpr std::array<std::string_view, 18> Messages = {
    "Error - The smart card does not support the current function",
    "Error - The smart card has been removed.  Further communication is not possible",
    "Error - The smart card is not powered.  Further communication is not possible",
    "Error - The smartcard is not supported",
    "ERROR - The supplied password is incorrect",
    "Error - The card cannot be accessed because the maximum number of password verification "
    "attempts has been reached",
    "Error - The supplied handle is invalid",
    "Error - One or more of the supplied parameters are invalid",
    "Error - The operation requires a smart card, but no smart card is currently in the device",
    "Error - The smart card has been reset",
    "Error - The smart card cannot be accessed because of other outstanding connections",
    "Error - The specified reader name is not recognized",
    "Error - No smart card reader is available",
    "Error - The data buffer is too small for the returned data",
    "Error - The smart card resource manager has shut down",
    "Error - The user-specified timeout value has expired",
    "Error - Address out of range",
    "Error - An unknown error has occurred"};

} // namespace

std::string_view CardErrorMessage(std::int32_t code) {
    if (code < FirstCode || code >= FirstCode + static_cast<std::int32_t>(Messages.size())) {
        return {};
    }
    return Messages[static_cast<std::size_t>(code - FirstCode)];
}
