// The meeting file handed to the conferencing client: its place, its name and
// its fourteen lines. Only the user id and the room prefix vary by room.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace talvo::meeting {

inline constexpr std::u16string_view kFirstLevelDir = u"C:\\MrvPrg\\";
inline constexpr std::u16string_view kWorkingDir = u"C:\\MrvPrg\\Tamsell\\";
inline constexpr std::u16string_view kFileName = u"TamSell.jnj";
// /d: otherwise the interpreter first runs whatever AutoRun commands the
// registry holds for it, which may change what `start` finds or hold it up.
inline constexpr std::u16string_view kCommandPrefix = u"cmd /d /c start ";
inline constexpr int kLineCount = 14;

// The type the conferencing client registers itself for.
inline constexpr std::u16string_view kFileType = u".jnj";
static_assert(kFileName.ends_with(kFileType));

// The directory and the name, with a backslash between them when the
// directory lacks one.
std::u16string FullPath(std::u16string_view dir, std::u16string_view name);

// The first three characters of a room button's caption (all of it when shorter).
std::u16string RoomPrefix(std::u16string_view caption);

std::array<std::u16string, kLineCount> Lines(std::u16string_view user_id,
                                             std::u16string_view room_prefix);

// "找不到(TamSell.jnj) .inj 檔案": the type really is spelled .inj here.
std::u16string NotFoundMessage();

// "無法開啟(TamSell.jnj) .jnj 檔案": written, but neither the interpreter nor
// the handler registered for the type could open it.
std::u16string CannotOpenMessage();

// "這台電腦沒有安裝會議程式 JoinNet，無法開啟(TamSell.jnj) .jnj 檔案", then on a
// second line where to download it: no program is registered for the type.
std::u16string NotInstalledMessage();

// The existence test: the name that Dir found against the meeting file's
// name, ignoring letter case.
bool SameFileName(std::u16string_view found, std::u16string_view expected);

}  // namespace talvo::meeting
