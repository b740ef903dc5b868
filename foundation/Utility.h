#pragma once
// Small helpers shared by both programs: number lists as text, Shift-JIS text,
// integer lists ended by a negative entry, full-width numbers and dates,
// amounts with thousands groups, bits, and file-name helpers. All text is CP932
// and every path uses '\' between folders.

#include <cstddef>
#include <cstdint>
#include <string>

namespace zrv {

// --- text and numbers -------------------------------------------------------

// Reads the decimal numbers of text: a digit run is a number, a '-' before it
// makes it negative ('-' followed by a non-digit stores 0), and every other
// byte, including bytes from 0x80 up, separates. Stores at most capacity values
// in out (values beyond int saturate) and returns how many numbers the text
// holds, which may be more than were stored.
int ParseNumberList(const char* text, int* out, int capacity);

// Writes count values in decimal separated by one blank into out (replaced);
// returns its length. ParseNumberList reads it back.
int JoinNumberList(int count, const int* values, std::string& out);

// 2 when *p starts a two-byte character, else 1.
int GetSjisCharLength(const char* p);

// Copies src up to its first line feed (or end) into dst and returns the text
// after the line feed, or null when src ended without one. Null or empty src:
// returns null and leaves dst empty.
const char* CopyTextLine(const char* src, std::string& dst);

// 0 for null or empty text, else 1 + the number of line feeds.
int CountTextLines(const char* text);

// The value in full-width digits (each digit added to the second byte of the
// library's full-width zero); a negative value gets a full-width minus first.
void FormatFullWidthNumber(int value, std::string& out);

// Date text from a packed date (hour << 24 | year << 16 | month << 8 | day) in
// full-width digits with the library's unit words.
void FormatDateText(uint32_t packed, std::string& out, bool withHour, bool withPrefix);

// Money with thousands groups, "$" in front when asked, wider when asked.
void FormatAmount(std::string& out, int value, bool dollar, bool wide);
// The same text into a buffer of size bytes (always terminated when size > 0).
void FormatAmountToBuffer(char* out, size_t size, int value, bool dollar, bool wide);

// --- integer lists ended by a negative entry --------------------------------
// The caller provides room; writers always end the list with -1.

int FindInIntList(const int* list, int value);
void MergeIntList(int* dest, const int* src);
void AppendIntList(int* dest, const int* src);
int IntersectIntList(int* out, const int* a, const int* b);
void ClearWordLowHalves(uint32_t* words, int count);

// Comparers for qsort over 8-byte records {i32 id, i32 key}.
int ComparePairKeyAscending(const void* a, const void* b);
int ComparePairKeyDescending(const void* a, const void* b);

// --- bits -------------------------------------------------------------------

int GetLowestBitIndex(int value);
int CountBits(int value);

// --- files and paths --------------------------------------------------------

// FALSE when the name holds one of \ / : ; , . * ? " < > | outside a two-byte
// character.
bool IsValidFileName(const char* name);
bool FileExists(const std::string& path);
// Replaces the extension of the last path element (the text from its last '.')
// by ext, or appends ext when that element has no '.'.
void ReplaceFileExtension(std::string& path, const char* ext);
// Position after the last '\' that separates folders (a '\' at position 0 does
// not count); 0 for an empty path, -1 when there is none.
int FindFileNamePos(const std::string& path);
void ReplaceFileName(std::string& path, const char* name);
void StripDirectory(std::string& path);
void GetDirectoryPart(std::string& path);

// The root (ending in '\') of the game disc that holds relPath, or "" when no
// such disc is found.
std::string FindCDROMDriveWithFile(const char* relPath);

}  // namespace zrv
