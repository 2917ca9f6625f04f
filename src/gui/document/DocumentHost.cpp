#include "gui/document/DocumentHost.h"

#include <QDir>

#include "gui/document/Analyze.h"

namespace ombrel {

void TDocumentHost::RequestPreviousStep(Analyze& form) {
  const TStep previous = PreviousStep(form.Document().Format, form.Step());
  if (previous != form.Step()) RequestStep(form, previous);
}

void TDocumentHost::BeginStatus(const QString&) {}

bool TDocumentHost::FocusPastDocument(Analyze&, bool) { return false; }

void TDocumentHost::EndStatus() {}

QString TDocumentHost::ExportFolder() const { return {}; }

void TDocumentHost::SetExportFolder(const QString&) {}

bool TDocumentHost::EffectSizes() const { return false; }

void TDocumentHost::SetEffectSizes(bool) {}

QString ExportFolderPath(const TDocumentHost& host, const QString& name) {
  const QString folder = host.ExportFolder();
  return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

}  // namespace ombrel
