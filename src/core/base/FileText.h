#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

#include "core/base/EmptyValue.h"

// The text forms of numbers and lines in Ombrel's document file.

namespace ombrel {

// A cell value: scientific values in the " d.dddE+xx" shape, others fixed
// with the column's decimals. Where that text would not read back as the
// same value (a transform's 1/3, a typed 12345678), more digits are written,
// so that saving never loses a digit.
std::string FileCellText(TReal value, std::int32_t decimals);

// A general number (summaries, hypothetical mean, counts): empty for the
// empty marker, scientific as for cells, else up to 8 decimals with trailing
// zeros and point removed, more digits where 8 decimals would not read back.
std::string FileNumberText(TReal value);

// Reads a number line or field: surrounding blanks ignored; anything that is
// not a finite number within the entry range gives the empty marker.
TReal ParseFileNumber(std::string_view text);

// Reads an integer line; false when the text does not start with one.
bool ParseFileInteger(std::string_view text, std::int32_t& value);

// Removes characters below 33 at both ends.
std::string_view TrimBlanks(std::string_view text);

// Reads lines of a document file: CR LF or LF ends a line, a line longer
// than MaxLineLength keeps only its start, reading stops at the end of the
// stream or at an I/O error.
class TLineReader {
 public:
  static constexpr std::size_t MaxLineLength = 64 * 1024;

  explicit TLineReader(std::istream& in) : mIn(in) {}

  // The next line, false at the end of the file or after an error.
  bool ReadLine(std::string& line);
  // The next line, or an empty text at the end.
  std::string NextLine();
  // The next line that is not blank, for integers (blank lines are white
  // space before them); empty at the end.
  std::string NextNonBlankLine();
  bool AtEnd() const { return mEnded; }
  bool Failed() const { return mFailed; }
  // How many lines lost their ends to MaxLineLength.
  std::size_t CutLines() const { return mCutLines; }

 private:
  std::istream& mIn;
  bool mEnded = false;
  bool mFailed = false;
  std::size_t mCutLines = 0;
};

// The user-facing text of a file error: "Error: #" + number + two spaces +
// text, for the numbers Ombrel reports; errno values are mapped to the
// nearest of them, and any other error shows the system's own text.
std::string FileErrorMessage(int errnoValue, bool writing);

// A failed open or save that names its file and says why in the system's
// words: "Could not " + action + " " + path + ": " + reason + ".", as in
// "Could not save /path/x.omd: Permission denied."
std::string FileFailureMessage(std::string_view action, std::string_view path, int errnoValue);

}  // namespace ombrel
