#pragma once
// The print dialog the report engine asks before PrintOut prints with its prompt flag set.

namespace desktop {

void installReportPrintPrompt();

}  // namespace desktop
