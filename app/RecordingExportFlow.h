#pragma once
// The window's side of "Export recordings": asks for the folder, asks before
// files are replaced, shows the progress (with cancel) and the summary. The
// export itself is BatchExport's.
#include "RedactionStage.h"

#include <QVector>

class Package;
class QWidget;
struct ReviewCall;

void exportRecordingsInteractively(QWidget* ipParent, Package* ipPackage, const QVector<ReviewCall>& irCalls,
                                   RedactionStage::Fill inFill);
