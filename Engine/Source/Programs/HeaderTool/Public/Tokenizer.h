#pragma once

// FTokenizer: splits a C++ header into the tokens HeaderTool's parser walks. Comments and
// preprocessor lines produce no tokens; string and character literals are single tokens, so
// braces or macro names inside them are never mistaken for code. Besides the tokens it keeps
// a copy of the source with every comment blanked out (line breaks kept), from which the
// parser cuts specifier and type text exactly as the author wrote it.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class ETokenKind
{
	Identifier,
	Number,
	String,
	Character,
	Punctuation,
	EndOfFile,
};

struct FToken
{
	ETokenKind Kind = ETokenKind::EndOfFile;
	std::string Text;
	/** 1-based line of the token's first character. */
	int Line = 0;
	/** Byte range of the token in the source. */
	size_t Begin = 0;
	size_t End = 0;

	/** True for an identifier or punctuation token spelled Value (never for literals). */
	bool Is(std::string_view Value) const
	{
		return (Kind == ETokenKind::Identifier || Kind == ETokenKind::Punctuation) && Text == Value;
	}
	bool IsIdentifier() const { return Kind == ETokenKind::Identifier; }
	bool IsEnd() const { return Kind == ETokenKind::EndOfFile; }
};

struct FTokenizedSource
{
	/** The source with comments replaced by spaces; token offsets index into it. */
	std::string CleanText;
	/** The tokens in order, ending with one EndOfFile token. */
	std::vector<FToken> Tokens;
};

class FTokenizer
{
public:
	/** File names the source in error messages. */
	FTokenizer(std::string InFile, std::string_view InSource);

	/** Throws FHeaderToolError for an unterminated comment or literal. */
	FTokenizedSource Tokenize();

private:
	char At(size_t Index) const { return Index < Text.size() ? Text[Index] : '\0'; }
	void SkipBlockComment();
	void SkipLineComment();
	void SkipPreprocessorLine();
	void ReadQuoted(char Quote, int StartLine);
	void ReadRawString(int StartLine);
	void ReadNumber();
	void ReadIdentifierOrPrefixedLiteral(int StartLine);
	void ReadPunctuation();
	void Blank(size_t From, size_t To);
	void AddToken(ETokenKind Kind, size_t Begin, int StartLine);

	std::string File;
	std::string Text;
	size_t Pos = 0;
	int Line = 1;
	/** True until the current line has seen something other than whitespace ('#' starts a directive only there). */
	bool bAtLineStart = true;
	std::vector<FToken> Tokens;
};
