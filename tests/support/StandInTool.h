#pragma once

#include <QString>

// Writes an executable shell script at `path`, its folder made as needed: "#!/bin/sh", then `body`. Put
// where the application looks for a helper tool, it shows what the tool was asked and answers as the test
// needs. False when it could not be written.
bool writeStandInTool(const QString& path, const QString& body);
