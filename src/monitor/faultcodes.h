#pragma once

// The texts of the controller's fault codes: short ones for the screens, long ones for the fault log.

#include <QString>

#include <array>

namespace gx {

struct Profile;

// A fault code is one unsigned byte; 0 means no fault. Codes 240..242 are the
// programmable inputs 3..5, named by their messages in the uploaded profile.

// The short texts the network monitor shows after "Shutdown: " or "Warning: ",
// indexed by code; codes without a short text have "".
const std::array<QString, 256>& FaultCodeText();

// The text of the fault log: "Low oil pressure shutdown", "INPUT 3: " + the
// input's message, or "Unknown fault ( 42 )" for a code it does not know.
QString faultcode_to_string(int FaultCode, const Profile& uploaded);

// The live monitor's lower LCD line for a fault: its own short texts, the input
// messages for 240..242, and any other code as " 42".
QString lcdFaultText(int FaultCode, const Profile& uploaded);

} // namespace gx
