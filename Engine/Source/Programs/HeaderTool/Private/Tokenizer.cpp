#include "Tokenizer.h"

#include "HeaderToolError.h"

#include <cctype>

namespace
{
	bool IsIdentifierStart(char C)
	{
		return std::isalpha(static_cast<unsigned char>(C)) || C == '_' || static_cast<unsigned char>(C) >= 0x80;
	}

	bool IsIdentifierChar(char C)
	{
		return IsIdentifierStart(C) || std::isdigit(static_cast<unsigned char>(C));
	}

	bool IsDigit(char C)
	{
		return std::isdigit(static_cast<unsigned char>(C)) != 0;
	}

	/** Encoding prefixes that may stand right before a string or character literal. */
	bool IsLiteralPrefix(std::string_view Word)
	{
		return Word == "L" || Word == "u" || Word == "U" || Word == "u8";
	}
}

FTokenizer::FTokenizer(std::string InFile, std::string_view InSource)
	: File(std::move(InFile))
	, Text(InSource)
{
}

FTokenizedSource FTokenizer::Tokenize()
{
	while (Pos < Text.size())
	{
		const char C = Text[Pos];
		if (C == '\n')
		{
			++Line;
			++Pos;
			bAtLineStart = true;
		}
		else if (std::isspace(static_cast<unsigned char>(C)))
		{
			++Pos;
		}
		else if (C == '/' && At(Pos + 1) == '*')
		{
			SkipBlockComment();
		}
		else if (C == '/' && At(Pos + 1) == '/')
		{
			SkipLineComment();
		}
		else if (C == '#' && bAtLineStart)
		{
			SkipPreprocessorLine();
		}
		else
		{
			bAtLineStart = false;
			const int StartLine = Line;
			if (C == '"' || C == '\'')
			{
				ReadQuoted(C, StartLine);
			}
			else if (IsDigit(C) || (C == '.' && IsDigit(At(Pos + 1))))
			{
				ReadNumber();
			}
			else if (IsIdentifierStart(C))
			{
				ReadIdentifierOrPrefixedLiteral(StartLine);
			}
			else
			{
				ReadPunctuation();
			}
		}
	}

	FToken End;
	End.Kind = ETokenKind::EndOfFile;
	End.Line = Line;
	End.Begin = End.End = Text.size();
	Tokens.push_back(End);

	FTokenizedSource Result;
	Result.CleanText = std::move(Text);
	Result.Tokens = std::move(Tokens);
	return Result;
}

void FTokenizer::SkipBlockComment()
{
	const int StartLine = Line;
	const size_t Close = Text.find("*/", Pos + 2);
	if (Close == std::string::npos)
	{
		throw FHeaderToolError(File, StartLine, "unterminated comment");
	}
	for (size_t Index = Pos; Index < Close; ++Index)
	{
		if (Text[Index] == '\n')
		{
			++Line;
		}
	}
	Blank(Pos, Close + 2);
	Pos = Close + 2;
}

void FTokenizer::SkipLineComment()
{
	// A backslash at the end of a line comment continues the comment, as in the compiler.
	const size_t Start = Pos;
	while (Pos < Text.size() && Text[Pos] != '\n')
	{
		if (Text[Pos] == '\\' && At(Pos + 1) == '\n')
		{
			++Line;
			++Pos;
		}
		++Pos;
	}
	Blank(Start, Pos);
}

void FTokenizer::SkipPreprocessorLine()
{
	// The directive runs to the end of the line, continued by backslashes; comments inside it
	// may span lines without ending it.
	while (Pos < Text.size() && Text[Pos] != '\n')
	{
		if (Text[Pos] == '\\' && At(Pos + 1) == '\n')
		{
			++Line;
			Pos += 2;
		}
		else if (Text[Pos] == '/' && At(Pos + 1) == '*')
		{
			SkipBlockComment();
		}
		else if (Text[Pos] == '/' && At(Pos + 1) == '/')
		{
			SkipLineComment();
		}
		else
		{
			++Pos;
		}
	}
}

void FTokenizer::ReadQuoted(char Quote, int StartLine)
{
	const size_t Begin = Pos;
	++Pos;
	while (true)
	{
		const char C = At(Pos);
		if (Pos >= Text.size() || C == '\n')
		{
			throw FHeaderToolError(File, StartLine, Quote == '"' ? "unterminated string literal" : "unterminated character literal");
		}
		if (C == '\\')
		{
			if (At(Pos + 1) == '\n')
			{
				++Line;
			}
			Pos += 2;
			continue;
		}
		++Pos;
		if (C == Quote)
		{
			break;
		}
	}
	AddToken(Quote == '"' ? ETokenKind::String : ETokenKind::Character, Begin, StartLine);
}

void FTokenizer::ReadRawString(int StartLine)
{
	// Pos is on the opening quote of R"delimiter( ... )delimiter".
	const size_t Begin = Pos;
	const size_t OpenParen = Text.find('(', Pos + 1);
	if (OpenParen == std::string::npos || Text.find('\n', Pos) < OpenParen)
	{
		throw FHeaderToolError(File, StartLine, "malformed raw string literal");
	}
	const std::string Terminator = ")" + Text.substr(Pos + 1, OpenParen - Pos - 1) + "\"";
	const size_t Close = Text.find(Terminator, OpenParen + 1);
	if (Close == std::string::npos)
	{
		throw FHeaderToolError(File, StartLine, "unterminated raw string literal");
	}
	Pos = Close + Terminator.size();
	for (size_t Index = Begin; Index < Pos; ++Index)
	{
		if (Text[Index] == '\n')
		{
			++Line;
		}
	}
	AddToken(ETokenKind::String, Begin, StartLine);
}

void FTokenizer::ReadNumber()
{
	// A preprocessing number: digits, letters, dots, digit separators and exponent signs.
	const size_t Begin = Pos;
	const int StartLine = Line;
	while (Pos < Text.size())
	{
		const char C = Text[Pos];
		if ((C == '+' || C == '-') && Pos > Begin && std::string_view("eEpP").find(Text[Pos - 1]) != std::string_view::npos)
		{
			++Pos;
		}
		else if (C == '\'' && IsIdentifierChar(At(Pos + 1)))
		{
			++Pos;
		}
		else if (IsIdentifierChar(C) || C == '.')
		{
			++Pos;
		}
		else
		{
			break;
		}
	}
	AddToken(ETokenKind::Number, Begin, StartLine);
}

void FTokenizer::ReadIdentifierOrPrefixedLiteral(int StartLine)
{
	const size_t Begin = Pos;
	while (Pos < Text.size() && IsIdentifierChar(Text[Pos]))
	{
		++Pos;
	}
	const std::string_view Word(Text.data() + Begin, Pos - Begin);
	const char Next = At(Pos);
	const bool bRaw = !Word.empty() && Word.back() == 'R' && (Word.size() == 1 || IsLiteralPrefix(Word.substr(0, Word.size() - 1)));
	if (bRaw && Next == '"')
	{
		ReadRawString(StartLine);
		Tokens.back().Begin = Begin;
		Tokens.back().Text = Text.substr(Begin, Pos - Begin);
		return;
	}
	if (IsLiteralPrefix(Word) && (Next == '"' || Next == '\''))
	{
		ReadQuoted(Next, StartLine);
		Tokens.back().Begin = Begin;
		Tokens.back().Text = Text.substr(Begin, Pos - Begin);
		return;
	}
	AddToken(ETokenKind::Identifier, Begin, StartLine);
}

void FTokenizer::ReadPunctuation()
{
	// Only the pairs the parser needs to see whole; '>>' stays two tokens because it closes
	// two template argument lists in types such as TArray<TArray<int32>>.
	static constexpr std::string_view Pairs[] = {"::", "->", "&&", "||", "==", "!="};
	const size_t Begin = Pos;
	const int StartLine = Line;
	if (Text.compare(Pos, 3, "...") == 0)
	{
		Pos += 3;
	}
	else
	{
		Pos += 1;
		for (const std::string_view Pair : Pairs)
		{
			if (Text.compare(Begin, 2, Pair) == 0)
			{
				Pos = Begin + 2;
				break;
			}
		}
	}
	AddToken(ETokenKind::Punctuation, Begin, StartLine);
}

void FTokenizer::Blank(size_t From, size_t To)
{
	for (size_t Index = From; Index < To && Index < Text.size(); ++Index)
	{
		if (Text[Index] != '\n')
		{
			Text[Index] = ' ';
		}
	}
}

void FTokenizer::AddToken(ETokenKind Kind, size_t Begin, int StartLine)
{
	FToken Token;
	Token.Kind = Kind;
	Token.Text = Text.substr(Begin, Pos - Begin);
	Token.Line = StartLine;
	Token.Begin = Begin;
	Token.End = Pos;
	Tokens.push_back(std::move(Token));
}
