#include <gtest/gtest.h>

#include "core/shell/FileKinds.h"

using namespace ombrel;

TEST(FileKindOfPath, GoesBySuffixInAnyCase) {
  struct TRow {
    const char* Path;
    TFileKind Kind;
  };
  const TRow rows[] = {
      {"/home/a/paired.omd", TFileKind::Document},
      {"C.OMD", TFileKind::Document},
      {"/tmp/data.csv", TFileKind::ImportText},
      {"/tmp/DATA.TXT", TFileKind::ImportText},
      {"x.prn", TFileKind::ImportText},
      {"x.dat", TFileKind::ImportText},
      {"/tmp/sheet.xls", TFileKind::Other},
      {"/tmp/Book.XLSX", TFileKind::ImportWorkbook},
      {"data.ods", TFileKind::ImportWorkbook},
      {"/tmp/omd", TFileKind::Other},
      {"/tmp/.omd", TFileKind::Other},
      {"/tmp/v1.omd/notes", TFileKind::Other},
      {"report.omd.txt", TFileKind::ImportText},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Path);
    EXPECT_EQ(FileKindOfPath(row.Path), row.Kind);
  }
}
