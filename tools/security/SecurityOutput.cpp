#include "SecurityOutput.h"

#include <algorithm>
#include <ctime>

namespace {

bool fitsBetweenQuotes(std::string_view bytes)
{
    return !bytes.empty() && std::all_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte == '\t' || (byte >= 0x20 && byte < 0x7f && byte != '"');
    });
}

std::string hexadecimal(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += digits[byte >> 4];
        text += digits[byte & 0x0f];
    }
    return text;
}

std::string attributeLine(std::string_view name, std::string_view type, std::string_view value)
{
    std::string line = "    \"";
    line += name;
    line += "\"<";
    line += type;
    line += ">=";
    line += value;
    line += '\n';
    return line;
}

}

std::string printedValue(std::string_view bytes)
{
    if (!fitsBetweenQuotes(bytes))
        return hexadecimal(bytes);
    std::string text = "\"";
    text += bytes;
    text += '"';
    return text;
}

std::string attributeTime(std::uint64_t secondsSinceEpoch)
{
    const auto moment = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm utc {};
    gmtime_r(&moment, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%SZ", &utc);
    return text;
}

std::string itemReport(const FoundItem& item)
{
    std::string report = "keychain: " + printedValue(item.keyring) + "\n";
    report += "class: \"genp\"\n";
    report += "attributes:\n";
    report += attributeLine("acct", "blob", item.account ? printedValue(*item.account) : "<NULL>");
    report += attributeLine("cdat", "timedate", printedValue(attributeTime(item.created)));
    report += attributeLine("labl", "blob", printedValue(item.label));
    report += attributeLine("mdat", "timedate", printedValue(attributeTime(item.modified)));
    report += attributeLine("svce", "blob", printedValue(item.service));
    return report;
}

std::string passwordReport(std::string_view secret)
{
    return "password: " + printedValue(secret) + "\n";
}
