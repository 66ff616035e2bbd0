// The program icon, for the windows' title bars and the About window.
#pragma once

#include <QIcon>

namespace vambrio::shell {

// The Vambrio icon in the sizes the desktop asks for (48 to 256 pixels).
QIcon ProgramIcon();

}  // namespace vambrio::shell
