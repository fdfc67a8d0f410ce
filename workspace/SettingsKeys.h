#pragma once

// Every key of the user-defaults store, in one place. Readers apply their own value when the
// key is absent or holds another type; nothing is registered as a default.
namespace tessora::keys {

inline constexpr char recentActivatedApps[] = "recentActivatedApps";        // list of texts; empty
inline constexpr char onboardingVersion[] = "onboardingVersion";            // integer; 0
inline constexpr char onboardingComplete[] = "onboardingComplete";          // bool; false
inline constexpr char windowSpacingEnabled[] = "windowSpacingEnabled";      // bool; false
inline constexpr char stackIndicatorsEnabled[] = "stackIndicatorsEnabled";  // bool; false
inline constexpr char appViewMode[] = "appViewMode";                        // "grid"/"list"; "list"
inline constexpr char shortcutCode[] = "shortcutCode";                      // integer; 53 (Escape)
inline constexpr char shortcutModifiers[] = "shortcutModifiers";  // integer; 256 (Command)
inline constexpr char shortcutLabel[] = "shortcutLabel";          // text; "⌘esc"
inline constexpr char shortcutV2[] = "shortcutV2";                // bool; false
inline constexpr char launcherEnabled[] = "launcherEnabled";      // bool; true
inline constexpr char preferencesMigrated[] = "orreryPreferencesMigrated";  // bool; false
inline constexpr char noGaps[] = "noGaps";                                  // any; migration only
// Software updates.
inline constexpr char updateSkippedVersion[] = "updateSkippedVersion";  // text; none
inline constexpr char updateLastCheck[] = "updateLastCheck";  // integer, seconds since 1970; none
inline constexpr char updateAutomaticChecks[] = "updateAutomaticChecks";  // bool; not asked yet
inline constexpr char updateStarts[] = "updateStarts";  // integer, starts counted up to 2; 0

}  // namespace tessora::keys
