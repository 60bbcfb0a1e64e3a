#pragma once

#include <QString>

// The bug-report mail the Help menu opens: a mailto: link to the support address with the subject and
// the body filled in.

// `text` escaped for a URL the legacy way: letters, digits and the URL punctuation ! # $ & ' ( ) * + , - . /
// : ; = ? @ _ ~ stay as they are; every other character becomes %XX for each byte of its UTF-8 form.
QString legacyUrlEscaped(const QString& text);

// mailto:ADDRESS?subject=Bug%20Report%20for%20NAME%20(version%20VERSION)&body=What%20went%20wrong?%0A%0A%0A
QString bugReportMailText(
    const QString& supportAddress, const QString& executableName, const QString& version);
