#include "tools/music/pattern_text.h"

#include <cctype>

namespace {

std::vector<std::string_view> split_words(std::string_view s)
{
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
        size_t j = i;
        while (j < s.size() && !std::isspace(static_cast<unsigned char>(s[j])))
            ++j;
        if (j > i)
            words.push_back(s.substr(i, j - i));
        i = j;
    }
    return words;
}

[[noreturn]] void fail(std::string_view what, std::string_view text)
{
    throw TextError(std::string(what) + " in cell \"" + std::string(text) + "\"");
}

int parse_note(std::string_view w, std::string_view cell)
{
    if (w == "---")
        return NO_NOTE;
    if (w.size() != 3)
        fail("bad note", cell);
    static const int semis[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    char letter = w[0];
    if (letter < 'A' || letter > 'G')
        fail("bad note letter", cell);
    int semi = semis[letter - 'A'];
    if (w[1] == '#') {
        if (letter == 'E' || letter == 'B')
            fail("no such sharp", cell);
        ++semi;
    } else if (w[1] != '-') {
        fail("bad accidental", cell);
    }
    if (w[2] < '0' || w[2] > '5')
        fail("octave out of range", cell);
    return (w[2] - '0' + 1) * 12 + semi;
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

ScoreCell parse_cell(std::string_view text)
{
    ScoreCell cell;
    auto words = split_words(text);
    if (words.size() == 1 && words[0] == ".")
        return cell;
    if (words.empty() || words.size() > 3)
        fail("expected note [sample [effect]]", text);
    cell.note = static_cast<uint8_t>(parse_note(words[0], text));
    if (words.size() >= 2 && words[1] != "..") {
        auto w = words[1];
        if (w.size() != 2 || !std::isdigit(static_cast<unsigned char>(w[0])) ||
            !std::isdigit(static_cast<unsigned char>(w[1])))
            fail("bad sample number", text);
        int s = (w[0] - '0') * 10 + (w[1] - '0');
        if (s < 1 || s > 31)
            fail("sample number out of range", text);
        cell.sample = static_cast<uint8_t>(s);
    }
    if (words.size() == 3 && words[2] != "...") {
        auto w = words[2];
        if (w.size() != 3)
            fail("bad effect", text);
        int c = hex_digit(w[0]), x = hex_digit(w[1]), y = hex_digit(w[2]);
        if (c < 0 || x < 0 || y < 0)
            fail("bad effect digit", text);
        cell.cmd = static_cast<uint8_t>(c);
        cell.param = static_cast<uint8_t>(x * 16 + y);
    }
    return cell;
}

std::vector<ScoreCell> parse_track(std::string_view text, int transpose)
{
    std::vector<ScoreCell> cells;
    size_t i = 0;
    while (i <= text.size()) {
        size_t j = text.find_first_of("|\n", i);
        if (j == std::string_view::npos)
            j = text.size();
        std::string_view piece = text.substr(i, j - i);
        i = j + 1;
        auto words = split_words(piece);
        if (words.empty())
            continue;
        int repeat = 1;
        if (words.back().size() > 1 && words.back()[0] == '*') {
            repeat = 0;
            for (char ch : words.back().substr(1)) {
                if (!std::isdigit(static_cast<unsigned char>(ch)))
                    fail("bad repeat", piece);
                repeat = repeat * 10 + (ch - '0');
            }
            if (repeat < 1 || repeat > 64)
                fail("repeat out of range", piece);
            piece = piece.substr(0, piece.rfind('*'));
        }
        ScoreCell cell = parse_cell(piece);
        if (cell.note != NO_NOTE) {
            int n = cell.note + transpose;
            if (n < 12 || n > 83)
                fail("transposed note out of range", piece);
            cell.note = static_cast<uint8_t>(n);
        }
        cells.insert(cells.end(), repeat, cell);
    }
    return cells;
}
