#include "core/entry/WorkbookParts.h"

#include <expat.h>
#include <zip.h>

#include <array>
#include <cstring>

namespace ombrel::detail {

namespace {

constexpr std::size_t ChunkSize = 64 * 1024;

std::string LimitText(std::uint64_t limit) { return std::to_string(limit / (1024 * 1024)) + " MB"; }

TPartResult TooLarge(const std::string& name, std::uint64_t limit) {
  return {TPartStatus::TooLarge, "its part " + name + " unpacks to more than " + LimitText(limit)};
}

}  // namespace

bool TMemoryParts::Has(const std::string& name) { return mParts.count(name) > 0; }

TPartResult TMemoryParts::Read(const std::string& name, std::uint64_t limit,
                               const std::function<bool(std::string_view)>& sink) {
  const auto part = mParts.find(name);
  if (part == mParts.end()) return {TPartStatus::Missing, "its part " + name + " is missing"};
  std::string_view rest = part->second;
  std::uint64_t total = 0;
  while (!rest.empty()) {
    const std::string_view chunk = rest.substr(0, ChunkSize);
    rest.remove_prefix(chunk.size());
    total += chunk.size();
    if (total > limit) return TooLarge(name, limit);
    if (!sink(chunk)) return {TPartStatus::Stopped, {}};
  }
  return {};
}

struct TZipParts::TArchive {
  zip_t* Zip = nullptr;
  ~TArchive() {
    if (Zip != nullptr) zip_discard(Zip);
  }
};

TZipParts::TZipParts() = default;
TZipParts::~TZipParts() = default;

TZipOpen TZipParts::Opened(void* archive, int error) {
  if (archive == nullptr) {
    zip_error_t zipError;
    zip_error_init_with_code(&zipError, error);
    mOpenDetail = zip_error_strerror(&zipError);
    zip_error_fini(&zipError);
    switch (error) {
      case ZIP_ER_NOZIP:
        return TZipOpen::NotZip;
      case ZIP_ER_OPEN:
      case ZIP_ER_NOENT:
      case ZIP_ER_READ:
      case ZIP_ER_MEMORY:
        return TZipOpen::CannotRead;
      default:
        return TZipOpen::Damaged;
    }
  }
  mArchive = std::make_unique<TArchive>();
  mArchive->Zip = static_cast<zip_t*>(archive);
  if (zip_get_num_entries(mArchive->Zip, 0) > MaxZipEntries) {
    mOpenDetail = "it holds more than " + std::to_string(MaxZipEntries) + " parts";
    mArchive.reset();
    return TZipOpen::TooMany;
  }
  return TZipOpen::Ok;
}

TZipOpen TZipParts::OpenFile(const std::string& path) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  return Opened(archive, error);
}

TZipOpen TZipParts::OpenBytes(std::string_view bytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  zip_t* archive = nullptr;
  int code = ZIP_ER_MEMORY;
  if (source != nullptr) {
    archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (archive == nullptr) {
      code = zip_error_code_zip(&error);
      zip_source_free(source);
    }
  }
  zip_error_fini(&error);
  return Opened(archive, code);
}

std::int64_t TZipParts::Locate(const std::string& name) {
  if (!mArchive) return -1;
  zip_int64_t index = zip_name_locate(mArchive->Zip, name.c_str(), 0);
  // Some writers differ from the names' usual case.
  if (index < 0) index = zip_name_locate(mArchive->Zip, name.c_str(), ZIP_FL_NOCASE);
  return index;
}

bool TZipParts::Has(const std::string& name) { return Locate(name) >= 0; }

TPartResult TZipParts::Read(const std::string& name, std::uint64_t limit,
                            const std::function<bool(std::string_view)>& sink) {
  const std::int64_t index = Locate(name);
  if (index < 0) return {TPartStatus::Missing, "its part " + name + " is missing"};
  const auto entry = static_cast<zip_uint64_t>(index);
  zip_stat_t stat;
  zip_stat_init(&stat);
  // The stated size may lie either way: it only refuses early, the bytes
  // read are counted below.
  if (zip_stat_index(mArchive->Zip, entry, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > limit)
    return TooLarge(name, limit);
  zip_file_t* file = zip_fopen_index(mArchive->Zip, entry, 0);
  if (file == nullptr) {
    const int code = zip_error_code_zip(zip_get_error(mArchive->Zip));
    if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP)
      return {TPartStatus::Damaged, "its part " + name + " is protected by a password"};
    return {TPartStatus::Damaged, "its part " + name + " cannot be unpacked (" +
                                      std::string(zip_error_strerror(zip_get_error(mArchive->Zip))) + ")"};
  }
  std::array<char, ChunkSize> buffer{};
  std::uint64_t total = 0;
  TPartResult result;
  for (;;) {
    const zip_int64_t n = zip_fread(file, buffer.data(), buffer.size());
    if (n < 0) {
      result = {TPartStatus::Damaged,
                "its part " + name + " cannot be unpacked (" + std::string(zip_file_strerror(file)) + ")"};
      break;
    }
    if (n == 0) break;
    total += static_cast<std::uint64_t>(n);
    if (total > limit) {
      result = TooLarge(name, limit);
      break;
    }
    if (!sink(std::string_view(buffer.data(), static_cast<std::size_t>(n)))) {
      result = {TPartStatus::Stopped, {}};
      break;
    }
  }
  zip_fclose(file);
  return result;
}

std::string_view LocalName(std::string_view name) {
  const auto colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

const char* XmlAttribute(const char** attributes, std::string_view localName) {
  for (const char** a = attributes; a != nullptr && a[0] != nullptr; a += 2)
    if (LocalName(a[0]) == localName) return a[1];
  return nullptr;
}

namespace {

struct TXmlState {
  XML_Parser Parser = nullptr;
  TXmlHandler* Handler = nullptr;
  int Depth = 0;
  bool Halted = false;
  bool Refused = false;
  bool TooDeep = false;
};

void Halt(TXmlState& state) {
  if (state.Halted) return;
  state.Halted = true;
  XML_StopParser(state.Parser, XML_FALSE);
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto& state = *static_cast<TXmlState*>(data);
  if (state.Halted) return;
  if (++state.Depth > MaxXmlDepth) {
    state.TooDeep = true;
    Halt(state);
    return;
  }
  state.Handler->StartElement(LocalName(name), attributes);
  if (state.Handler->StopRequested()) Halt(state);
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
  auto& state = *static_cast<TXmlState*>(data);
  if (state.Halted) return;
  --state.Depth;
  state.Handler->EndElement(LocalName(name));
  if (state.Handler->StopRequested()) Halt(state);
}

void XMLCALL OnCharacters(void* data, const XML_Char* text, int length) {
  auto& state = *static_cast<TXmlState*>(data);
  if (state.Halted || length <= 0) return;
  state.Handler->Characters(std::string_view(text, static_cast<std::size_t>(length)));
}

// Workbooks never declare a document type; one that does may be trying to
// make its entities expand beyond any memory.
void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  auto& state = *static_cast<TXmlState*>(data);
  state.Refused = true;
  Halt(state);
}

void XMLCALL OnEntity(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*, const XML_Char*,
                      const XML_Char*, const XML_Char*) {
  auto& state = *static_cast<TXmlState*>(data);
  state.Refused = true;
  Halt(state);
}

struct TParserDeleter {
  void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

}  // namespace

TPartResult ReadXmlPart(TWorkbookParts& parts, const std::string& name, std::uint64_t limit, TXmlHandler& handler) {
  const std::unique_ptr<XML_ParserStruct, TParserDeleter> parser(XML_ParserCreate(nullptr));
  if (!parser) return {TPartStatus::Damaged, "its part " + name + " cannot be read (out of memory)"};
  TXmlState state;
  state.Parser = parser.get();
  state.Handler = &handler;
  XML_SetUserData(parser.get(), &state);
  XML_SetElementHandler(parser.get(), OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser.get(), OnCharacters);
  XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
  XML_SetEntityDeclHandler(parser.get(), OnEntity);
  XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);

  std::string xmlError;
  const auto feed = [&](std::string_view chunk, bool last) {
    if (XML_Parse(parser.get(), chunk.data(), static_cast<int>(chunk.size()), last ? XML_TRUE : XML_FALSE) ==
        XML_STATUS_OK)
      return true;
    if (!state.Halted)
      xmlError = std::string(XML_ErrorString(XML_GetErrorCode(parser.get()))) + " at line " +
                 std::to_string(XML_GetCurrentLineNumber(parser.get()));
    return false;
  };
  TPartResult result = parts.Read(name, limit, [&](std::string_view chunk) { return feed(chunk, false); });
  if (result.Status == TPartStatus::Ok && xmlError.empty() && !state.Halted) feed({}, true);
  if (state.Refused)
    return {TPartStatus::Damaged, "its part " + name + " declares a document type, which a workbook never does"};
  if (state.TooDeep)
    return {TPartStatus::Damaged,
            "its part " + name + " nests elements more than " + std::to_string(MaxXmlDepth) + " deep"};
  if (!xmlError.empty())
    return {TPartStatus::Damaged, "its part " + name + " is not well-formed XML (" + xmlError + ")"};
  if (state.Halted && result.Status != TPartStatus::Ok) return result;
  if (state.Halted) return {TPartStatus::Stopped, {}};
  return result;
}

}  // namespace ombrel::detail
