#include "text/TokenText.h"

#include <algorithm>

#include "text/Translated.h"

namespace {

// The character number of byte at in UTF-8 text, from 1.
std::size_t characterAt(const std::string& text, std::size_t at)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i <= at && i < text.size(); ++i)
        characters += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    return characters;
}

std::string knownList(const std::vector<std::string>& known)
{
    std::string list;
    for (const std::string& name : known)
        list += (list.empty() ? "{" : ", {") + name + "}";
    return list;
}

}  // namespace

bool TokenText::parse(const std::string& text, const std::vector<std::string>& known, TokenText& parsed,
                      std::string& error, const std::vector<std::string>& takingArgument)
{
    parsed.pieces_.assign(1, Piece{});
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool doubled = i + 1 < text.size() && text[i + 1] == c;
        if ((c == '{' || c == '}') && doubled) {
            parsed.pieces_.back().literal += c;
            ++i;
        } else if (c == '}') {
            error = said(_("the \"}\" at character %d closes no token (write }} for a brace)"),
                         static_cast<int>(characterAt(text, i)));
            return false;
        } else if (c == '{') {
            const std::size_t close = text.find('}', i);
            const std::size_t nextOpen = text.find('{', i + 1);
            if (close == std::string::npos) {
                error = said(_("the \"{\" at character %d opens a token that is never closed (write {{ for a brace)"),
                             static_cast<int>(characterAt(text, i)));
                return false;
            }
            if (nextOpen < close) {
                error = said(_("the \"{\" at character %d stands inside a token (write {{ for a brace)"),
                             static_cast<int>(characterAt(text, nextOpen)));
                return false;
            }
            const std::string inside = text.substr(i + 1, close - i - 1);
            const std::size_t bar = inside.find('|');
            const std::string named = inside.substr(0, bar);
            const std::size_t colon = named.find(':');
            Token token{named.substr(0, colon), colon == std::string::npos ? std::string() : named.substr(colon + 1),
                        bar == std::string::npos ? std::string() : inside.substr(bar + 1)};
            if (std::find(known.begin(), known.end(), token.name) == known.end()) {
                error = said(_("the token {%s} is unknown; known are %s"), inside, knownList(known));
                return false;
            }
            if (colon != std::string::npos &&
                std::find(takingArgument.begin(), takingArgument.end(), token.name) == takingArgument.end()) {
                error = said(_("the token {%s} takes nothing after \":\", as in {%s}"), token.name, inside);
                return false;
            }
            Piece& piece = parsed.pieces_.back();
            piece.hasToken = true;
            piece.token = token;
            parsed.pieces_.push_back(Piece{});
            i = close;
        } else {
            parsed.pieces_.back().literal += c;
        }
    }
    return true;
}

std::vector<Token> TokenText::tokens() const
{
    std::vector<Token> tokens;
    for (const Piece& piece : pieces_)
        if (piece.hasToken)
            tokens.push_back(piece.token);
    return tokens;
}

std::string TokenText::expand(const std::function<std::string(const Token&)>& valueOf) const
{
    std::string out;
    for (const Piece& piece : pieces_) {
        out += piece.literal;
        if (!piece.hasToken)
            continue;
        const std::string value = valueOf(piece.token);
        out += value.empty() ? piece.token.fallback : value;
    }
    return out;
}
