#pragma once

#include <functional>
#include <string>
#include <vector>

// One {token} of a text: its name, what follows a ":" after it (as in
// {counter:3}), and the fallback after "|" that stands in where the value
// is empty.
struct Token {
    std::string name;
    std::string argument;
    std::string fallback;
};

// A text with tokens in braces, "© {artist|Jane Doe} {year}", as the user
// writes it for a watermark or a file name: parsed once, before any
// picture, then expanded for each. "{{" and "}}" are literal braces.
class TokenText {
public:
    // Parses text, whose tokens must be among known; only those among
    // takingArgument may have one. False, with error naming the fault, for
    // an unknown token or a malformed one.
    static bool parse(const std::string& text, const std::vector<std::string>& known, TokenText& parsed,
                      std::string& error, const std::vector<std::string>& takingArgument = {});

    // The tokens in the order they stand.
    std::vector<Token> tokens() const;

    // The text with each token replaced by valueOf(token), or by its
    // fallback where that is empty.
    std::string expand(const std::function<std::string(const Token&)>& valueOf) const;

private:
    struct Piece {
        std::string literal;  // before the token
        bool hasToken = false;
        Token token;
    };
    std::vector<Piece> pieces_;
};
