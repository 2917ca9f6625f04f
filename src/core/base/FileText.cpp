#include "core/base/FileText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "core/base/DataTable.h"
#include "core/base/NumberText.h"

namespace ombrel {

namespace {

constexpr int GeneralDecimals = 8;

bool ReadsBackAs(const std::string& text, TReal value) { return ParseFileNumber(text) == value; }

// " 1.235E+15" / "-2.500E-05", with as many mantissa digits as it takes to
// read back the same value (at least three after the point).
std::string FileScientificText(TReal value) {
  std::string text = FormatScientific(value);
  if (!ReadsBackAs(text, value)) {
    for (int digits = 4; digits <= 20; ++digits) {
      char buffer[64];
      const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits);
      std::string candidate(buffer, result.ptr);
      if (!ReadsBackAs(candidate, value)) continue;
      // to_chars writes "1.2345678e+07"; the file form is upper case with
      // at least two exponent digits, as FormatScientific writes them.
      const auto e = candidate.find('e');
      candidate[e] = 'E';
      if (candidate.size() - e == 3) candidate.insert(e + 2, 1, '0');
      text = candidate;
      break;
    }
  }
  if (text.front() != '-') text.insert(text.begin(), ' ');
  return text;
}

std::string TrimTrailingZeros(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

// The fixed form with the given decimals when it reads back as the value;
// otherwise the shortest fixed form that does (an extended value may need
// up to 21 significant digits).
std::string FixedRoundTrip(TReal value, int decimals) {
  std::string text = FormatFixed(value, decimals);
  if (ReadsBackAs(text, value)) return text;
  char buffer[128];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string FileCellText(TReal value, std::int32_t decimals) {
  if (NeedsScientific(value)) return FileScientificText(value);
  return FixedRoundTrip(value, decimals);
}

std::string FileNumberText(TReal value) {
  if (IsEmpty(value)) return std::string();
  if (NeedsScientific(value)) return FileScientificText(value);
  std::string text = TrimTrailingZeros(FormatFixed(value, GeneralDecimals));
  if (!ReadsBackAs(text, value)) text = TrimTrailingZeros(FixedRoundTrip(value, GeneralDecimals));
  return text;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) < 33) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) < 33) text.remove_suffix(1);
  return text;
}

TReal ParseFileNumber(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return EmptyValue;
  // Only digits, sign, point and exponent: from_chars would also take
  // "nan", "inf" and hexadecimal forms.
  for (char ch : text)
    if (!((ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == '+' || ch == 'e' || ch == 'E')) return EmptyValue;
  TReal value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc{} || result.ptr != text.data() + text.size()) return EmptyValue;
  if (!std::isfinite(value) || std::fabs(value) > MaxEnteredValue) return EmptyValue;
  return value;
}

bool ParseFileInteger(std::string_view text, std::int32_t& value) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc{} && result.ptr != text.data();
}

bool TLineReader::ReadLine(std::string& line) {
  line.clear();
  if (mEnded) return false;
  std::streambuf* buffer = mIn.rdbuf();
  bool any = false;
  bool cut = false;
  while (true) {
    int ch;
    try {
      ch = buffer->sbumpc();
    } catch (...) {
      mFailed = true;
      mEnded = true;
      return any;
    }
    if (ch == std::char_traits<char>::eof()) {
      mEnded = true;
      break;
    }
    any = true;
    if (ch == '\n') break;
    if (line.size() < MaxLineLength)
      line.push_back(static_cast<char>(ch));
    else if (ch != '\r')
      cut = true;
  }
  if (cut) ++mCutLines;
  if (mEnded) return any;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

std::string TLineReader::NextLine() {
  std::string line;
  ReadLine(line);
  return line;
}

std::string TLineReader::NextNonBlankLine() {
  std::string line;
  while (ReadLine(line))
    if (!TrimBlanks(line).empty()) return line;
  return std::string();
}

std::string FileErrorMessage(int errnoValue, bool writing) {
  int number = 0;
  const char* text = nullptr;
  switch (errnoValue) {
    case ENOENT:
      number = 2;
      text = "File not found.";
      break;
    case ENOTDIR:
      number = 3;
      text = "Path not found.";
      break;
    case EMFILE:
    case ENFILE:
      number = 4;
      text = "Too many open files.";
      break;
    case EACCES:
    case EPERM:
    case EISDIR:
      number = 5;
      text = "File access denied.";
      break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      number = 101;
      text = "The disk is full.";
      break;
    case EROFS:
      number = 150;
      text = "Disk is write-protected.";
      break;
    case EIO:
      number = writing ? 101 : 100;
      text = writing ? "The disk is full." : "Disk read error.";
      break;
    default:
      break;
  }
  if (text != nullptr) return "Error: #" + std::to_string(number) + "  " + text;
  return "Error: #" + std::to_string(errnoValue) + "  " + std::strerror(errnoValue);
}

std::string FileFailureMessage(std::string_view action, std::string_view path, int errnoValue) {
  std::string message = "Could not ";
  message.append(action).append(" ").append(path).append(": ").append(std::strerror(errnoValue));
  message += '.';
  return message;
}

}  // namespace ombrel
