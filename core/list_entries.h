#pragma once
// The forms an entry of the output list takes, recognised by its bytes.

#include <string>
#include <string_view>

namespace corvane {

// "-----" + title + "-----": recognised by its first five bytes alone.
bool IsHeading(std::string_view entry);
// The entry without its first five and last five bytes; empty for ten bytes or fewer.
std::string HeadingTitle(std::string_view entry);
std::string MakeHeading(std::string_view title);

// Not a heading and its last three bytes, ASCII letters folded, are "jpg" / "txt".
bool IsImageEntry(std::string_view entry);
bool IsTextEntry(std::string_view entry);

// The unselected mark: "今回非選択（" + entry + "）". An entry counts as marked when it
// begins with the five characters "今回非選択".
std::string WithUnselectedMark(std::string_view entry);
bool IsMarked(std::string_view entry);

// A chosen name must survive the saved list and the settings file, whose lines end at CR,
// CR LF or 0x1A: a name holding CR, LF, NUL or 0x1A raises EEncodingError naming it (each
// such byte shown as '?'), as a name CP932 cannot hold does.
void CheckNameFitsInList(std::string_view name);
// The same for a heading's title: a CR or LF would split it into two entries of the saved
// list, a 0x1A would end the list there.
void CheckHeadingFitsInList(std::string_view title);

}  // namespace corvane
