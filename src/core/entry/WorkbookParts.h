#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

// The parts of a workbook (the files inside its zip archive) and a guarded
// XML reader over them. Everything here assumes the input is hostile: each
// part is unpacked in chunks up to a size limit, XML with a document type
// declaration is refused (so no entity is ever expanded), and elements may
// nest only so deep.

namespace ombrel::detail {

enum class TPartStatus {
  Ok,
  Missing,   // no such part
  Damaged,   // the part cannot be unpacked, or its XML is not well-formed
  TooLarge,  // the part unpacks to more than the limit
  Stopped,   // the reader asked to stop early
};

struct TPartResult {
  TPartStatus Status = TPartStatus::Ok;
  std::string Detail;  // for Damaged: what is wrong, as a clause
  bool Ok() const { return Status == TPartStatus::Ok || Status == TPartStatus::Stopped; }
};

// Where a workbook's parts come from: its zip archive, or (for tests and
// fuzzing) a map of names to contents.
class TWorkbookParts {
 public:
  virtual ~TWorkbookParts() = default;
  virtual bool Has(const std::string& name) = 0;
  // Hands the part's bytes to `sink` in chunks; `sink` answers false to
  // stop. More than `limit` bytes gives TooLarge.
  virtual TPartResult Read(const std::string& name, std::uint64_t limit,
                           const std::function<bool(std::string_view)>& sink) = 0;
};

class TMemoryParts : public TWorkbookParts {
 public:
  explicit TMemoryParts(std::map<std::string, std::string> parts) : mParts(std::move(parts)) {}
  bool Has(const std::string& name) override;
  TPartResult Read(const std::string& name, std::uint64_t limit,
                   const std::function<bool(std::string_view)>& sink) override;

 private:
  std::map<std::string, std::string> mParts;
};

enum class TZipOpen {
  Ok,
  NotZip,     // not a zip archive at all
  Damaged,    // a zip archive that cannot be read (cut short, inconsistent)
  TooMany,    // more entries than a workbook ever has
  CannotRead  // the file could not be read
};

// The parts of a zip archive, read with libzip.
class TZipParts : public TWorkbookParts {
 public:
  TZipParts();
  ~TZipParts() override;
  TZipParts(const TZipParts&) = delete;
  TZipParts& operator=(const TZipParts&) = delete;

  // Opens a file, or bytes held by the caller (which must outlive this).
  TZipOpen OpenFile(const std::string& path);
  TZipOpen OpenBytes(std::string_view bytes);
  // What libzip said when opening failed.
  const std::string& OpenDetail() const { return mOpenDetail; }

  bool Has(const std::string& name) override;
  TPartResult Read(const std::string& name, std::uint64_t limit,
                   const std::function<bool(std::string_view)>& sink) override;

 private:
  struct TArchive;
  TZipOpen Opened(void* archive, int error);
  std::int64_t Locate(const std::string& name);

  std::unique_ptr<TArchive> mArchive;
  std::string mOpenDetail;
};

// At most this many entries in a workbook's archive (real ones hold tens).
inline constexpr std::int64_t MaxZipEntries = 10000;
// Elements nest at most this deep in a part.
inline constexpr int MaxXmlDepth = 256;

// Receives the elements of a part. Names come without their namespace
// prefix ("c" for "x:c", "table-cell" for "table:table-cell"); attributes
// are expat's name/value pairs, names with their prefixes.
class TXmlHandler {
 public:
  virtual ~TXmlHandler() = default;
  virtual void StartElement(std::string_view name, const char** attributes) = 0;
  virtual void EndElement(std::string_view name) = 0;
  virtual void Characters(std::string_view text) = 0;
  // Checked after every event: true ends the reading (Stopped).
  bool StopRequested() const { return mStop; }

 protected:
  void RequestStop() { mStop = true; }

 private:
  bool mStop = false;
};

// Reads a part as XML through `handler`. A document type declaration,
// nesting beyond MaxXmlDepth and XML that is not well-formed give Damaged,
// with a detail naming the part.
TPartResult ReadXmlPart(TWorkbookParts& parts, const std::string& name, std::uint64_t limit, TXmlHandler& handler);

// The value of an attribute by its name without prefix, or null.
const char* XmlAttribute(const char** attributes, std::string_view localName);
// The local part of a qualified name.
std::string_view LocalName(std::string_view name);

}  // namespace ombrel::detail
