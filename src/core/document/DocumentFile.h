#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "core/document/Document.h"

// Ombrel's own document file: a six-line header, then the layout of the
// document's data format. Reading is tolerant (numbers that do not parse are
// empty, a file that ends early keeps what was read but says so); saving
// never destroys the previous file on a failure.

namespace ombrel {

inline constexpr const char* NotOmbrelFileMessage =
    "The file is not an Ombrel data file. If you want to import data, first create a new file, then Import.";
inline constexpr const char* NewerVersionMessage =
    "This file cannot be read because it was created by a newer version of Ombrel.";

enum class TFileResult {
  Ok,
  NotOmbrelFile,  // unknown format code, or no document's header
  NewerVersion,   // a document's header with a version line above 3.0
  IoError,        // opening, reading or writing failed
  // The file ended before its layout did: the document holds what was read,
  // and must not be taken for the file (saving it there would lose the rest).
  Incomplete,
  // The file held more than a document can (rows, columns, line lengths,
  // notes, titles): the document holds what fits, and, as for Incomplete,
  // must not be saved over the file.
  Oversized,
};

// What a read left out because a document cannot hold it.
struct TLeftOut {
  std::int32_t Rows = 0;       // rows after the table's last that hold a value
  std::int32_t Columns = 0;    // columns after Z that hold a value
  std::int32_t LongLines = 0;  // lines cut to TLineReader::MaxLineLength
  std::int32_t Titles = 0;     // titles cut to their length
  bool Notes = false;          // notes cut to the file's limit
  bool Any() const { return Rows > 0 || Columns > 0 || LongLines > 0 || Titles > 0 || Notes; }
};

struct TFileOutcome {
  TFileResult Result = TFileResult::Ok;
  // The message the user sees; empty for Ok.
  std::string Message;
  TLeftOut LeftOut;
  bool Ok() const { return Result == TFileResult::Ok; }
  // Whether the document holds only a part of the file.
  bool Partial() const { return Result == TFileResult::Incomplete || Result == TFileResult::Oversized; }
  // Whether the document holds what the file gave, all of it or a part.
  bool Loaded() const { return Ok() || Partial(); }
};

// "FILE ended early: the document may be incomplete. It is opened as a new,
// unsaved copy."
std::string IncompleteDocumentMessage(std::string_view fileName);
// A partial read's message: that the file ended early, or what was left out
// ("FILE holds more than a document can keep; left out: 1,000 data rows
// after row 1,001. It is opened as a new, unsaved copy."), or both.
std::string PartialDocumentMessage(std::string_view fileName, bool endedEarly, const TLeftOut& leftOut);

// Reads a document's layout from a stream into a fresh document (format,
// title, table, choices, notes). Refuses unknown formats, headers whose
// fifth and sixth lines are not empty, and newer versions (a file with a
// later version line is one only when its first line names Ombrel or its
// fourth line is as a document has it; else it is not an Ombrel file);
// a stream that ends before the layout's last line (its closing empty line
// included) gives Incomplete, and one that holds more than the document
// can keep Oversized, with "The file" as the name in the message.
TFileOutcome ReadDocument(std::istream& in, TDocument& document);
// Writes a document's layout, CR LF line ends.
void WriteDocument(std::ostream& out, const TDocument& document);

// The document's file text once its computed parts (column summaries, the
// choose-test state) are brought up to date on a copy. Two documents with
// the same data and choices give the same image whatever has been computed
// in them, so comparing images tells a change by the user from a
// computation.
std::string ComparableImage(const TDocument& document);

// Opens a file as File Open does: reads it into `document` (which should be
// new), then makes it ready to show: averaged formats with every column
// taking typed means on the summary step, every other format on the data
// step with the summaries of raw and multiple-regression data recomputed;
// the results are stale. An incomplete or oversized file is made ready the
// same way, and its message names the file (its name without the folder).
TFileOutcome OpenDocumentFile(const std::string& path, TDocument& document);

// Saves a document to `path` through a temporary file in the same folder
// that replaces the target only once completely written, so a failed save
// leaves the old file intact.
TFileOutcome SaveDocumentFile(const std::string& path, const TDocument& document);

}  // namespace ombrel
