#pragma once

/**
 * The program's name, version, icon, control style and right-to-left layout, set once the
 * application object exists. The program, the interface tests, the screenshot tool and the
 * benchmark's window all start the same way, so they store their files and draw their pages alike.
 */
namespace ApplicationIdentity {

void apply();

} // namespace ApplicationIdentity
