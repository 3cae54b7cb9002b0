#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zul {

// A settings file in the private-profile format the card's settings were
// always kept in: "[section]" lines, "key=value" lines, anything else kept
// as it is. Names match without regard to letter case; the first matching
// section and, inside it, the first matching key win.
//
// It works on the text alone, never on a file, so that every rule can be
// tried (and fuzzed) on a byte buffer. Lines it does not update come out
// byte for byte as they went in.
class ProfileText {
public:
    explicit ProfileText(std::string_view bytes);

    // The value without its surrounding blanks and one pair of matching
    // quotes; nothing when the section or the key is not there.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Replaces the value in place, or adds the key at the end of its
    // section, or adds the section at the end of the text. New lines end in
    // CR LF. Names or values that would not read back as written (a line
    // break anywhere, "=" in a key, "]" in a section name, an empty key)
    // are refused with false and change nothing.
    bool set(std::string_view section, std::string_view key, std::string_view value);

    std::string bytes() const;

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        std::string text; // without its line end
        std::string end;  // "\r\n", "\n", or "" on a last line without one
        Kind kind = Kind::Other;
        std::string_view name() const;
    };
    struct Span {
        size_t header; // the section's own line
        size_t end;    // one past its last line
    };

    std::optional<Span> section(std::string_view name) const;
    std::optional<size_t> key(Span span, std::string_view name) const;
    void endLastLine();

    std::string bom_;
    std::vector<Line> lines_;
};

} // namespace zul
