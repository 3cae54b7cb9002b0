#include "profile_text.h"

namespace zul {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

char folded(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    a = trimmed(a);
    b = trimmed(b);
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (folded(a[i]) != folded(b[i]))
            return false;
    return true;
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

std::string_view ProfileText::Line::name() const
{
    const std::string_view all = text;
    if (kind == Kind::Section) {
        const std::string_view inside = trimmed(all);
        return trimmed(inside.substr(1, inside.find(']') - 1));
    }
    if (kind == Kind::Key)
        return trimmed(all.substr(0, all.find('=')));
    return {};
}

ProfileText::ProfileText(std::string_view bytes)
{
    // Editors that mark a file as UTF-8 put the mark before the first
    // section; it must not hide that section from the reader.
    if (bytes.starts_with(kByteOrderMark)) {
        bom_ = kByteOrderMark;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t feed = bytes.find('\n', start);
        const size_t stop = feed == std::string_view::npos ? bytes.size() : feed;
        Line line;
        line.text = bytes.substr(start, stop - start);
        if (feed != std::string_view::npos) {
            const bool crlf = !line.text.empty() && line.text.back() == '\r';
            if (crlf)
                line.text.pop_back();
            line.end = crlf ? "\r\n" : "\n";
        }
        const std::string_view content = trimmed(line.text);
        if (content.starts_with('[') && content.find(']') != std::string_view::npos)
            line.kind = Kind::Section;
        else if (content.find('=') != std::string_view::npos)
            line.kind = Kind::Key;
        lines_.push_back(std::move(line));
        start = stop + 1;
    }
}

std::optional<ProfileText::Span> ProfileText::section(std::string_view name) const
{
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Kind::Section || !sameName(lines_[i].name(), name))
            continue;
        size_t end = i + 1;
        while (end < lines_.size() && lines_[end].kind != Kind::Section)
            ++end;
        return Span{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> ProfileText::key(Span span, std::string_view name) const
{
    for (size_t i = span.header + 1; i < span.end; ++i)
        if (lines_[i].kind == Kind::Key && sameName(lines_[i].name(), name))
            return i;
    return std::nullopt;
}

std::optional<std::string> ProfileText::value(std::string_view sectionName, std::string_view keyName) const
{
    const auto span = section(sectionName);
    if (!span)
        return std::nullopt;
    const auto at = key(*span, keyName);
    if (!at)
        return std::nullopt;
    const std::string &text = lines_[*at].text;
    std::string_view found = trimmed(std::string_view(text).substr(text.find('=') + 1));
    if (found.size() >= 2 && (found.front() == '"' || found.front() == '\'') && found.back() == found.front())
        found = found.substr(1, found.size() - 2);
    return std::string(found);
}

void ProfileText::endLastLine()
{
    if (!lines_.empty() && lines_.back().end.empty())
        lines_.back().end = "\r\n";
}

bool ProfileText::set(std::string_view sectionName, std::string_view keyName, std::string_view newValue)
{
    keyName = trimmed(keyName);
    sectionName = trimmed(sectionName);
    if (hasLineBreak(sectionName) || hasLineBreak(keyName) || hasLineBreak(newValue) || keyName.empty() ||
        keyName.find('=') != std::string_view::npos || keyName.starts_with('[') ||
        sectionName.find(']') != std::string_view::npos)
        return false;

    const std::string entry = std::string(keyName) + "=" + std::string(newValue);
    const auto span = section(sectionName);
    if (!span) {
        endLastLine();
        lines_.push_back({"[" + std::string(sectionName) + "]", "\r\n", Kind::Section});
        lines_.push_back({entry, "\r\n", Kind::Key});
        return true;
    }
    if (const auto at = key(*span, keyName)) {
        // The key keeps its own spelling and spacing: only the value changes.
        std::string &text = lines_[*at].text;
        size_t start = text.find('=') + 1;
        while (start < text.size() && blank(text[start]))
            ++start;
        text.replace(start, std::string::npos, newValue);
        return true;
    }
    // After the section's last key, so a comment that leads into the next
    // section stays with it.
    size_t after = span->header;
    for (size_t i = span->header + 1; i < span->end; ++i)
        if (lines_[i].kind == Kind::Key)
            after = i;
    if (lines_[after].end.empty())
        lines_[after].end = "\r\n";
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1), Line{entry, "\r\n", Kind::Key});
    return true;
}

std::string ProfileText::bytes() const
{
    std::string all = bom_;
    for (const Line &line : lines_)
        all += line.text + line.end;
    return all;
}

} // namespace zul
