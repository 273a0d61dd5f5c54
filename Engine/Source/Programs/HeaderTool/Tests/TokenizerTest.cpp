#include "HeaderToolError.h"
#include "Tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
	FTokenizedSource Tokenize(const std::string& Source)
	{
		return FTokenizer("Test.h", Source).Tokenize();
	}

	/** The token texts, without the end token. */
	std::vector<std::string> Texts(const std::string& Source)
	{
		std::vector<std::string> Result;
		for (const FToken& Token : Tokenize(Source).Tokens)
		{
			if (!Token.IsEnd())
			{
				Result.push_back(Token.Text);
			}
		}
		return Result;
	}

	std::string ErrorOf(const std::string& Source)
	{
		try
		{
			Tokenize(Source);
		}
		catch (const FHeaderToolError& Error)
		{
			return Error.what();
		}
		return "<no error>";
	}
}

TEST(Tokenizer, CommentsAndPreprocessorLinesProduceNoTokens)
{
	const std::string Source = "#include \"A.h\"\n"
							   "#define MACRO(X) \\\n"
							   "\tUCLASS() { X }\n"
							   "  # pragma once /* a comment\n"
							   "spanning lines */ still_directive\n"
							   "// UPROPERTY() int32 Commented;\n"
							   "/* { */ int32 Kept; // trailing\n";
	EXPECT_EQ(Texts(Source), (std::vector<std::string>{"int32", "Kept", ";"}));
}

TEST(Tokenizer, HashStartsADirectiveOnlyAtTheStartOfALine)
{
	EXPECT_EQ(Texts("a # b\n#c\nd"), (std::vector<std::string>{"a", "#", "b", "d"}));
}

TEST(Tokenizer, LinesCountAcrossCommentsContinuationsAndLiterals)
{
	const std::string Source = "/* one\ntwo */ A\n"
							   "#define X \\\n  Y\n"
							   "B R\"x(raw\nstring)x\" C\n"
							   "// comment \\\n continued\n"
							   "D";
	const FTokenizedSource Result = Tokenize(Source);
	ASSERT_EQ(Result.Tokens.size(), 6u);
	EXPECT_EQ(Result.Tokens[0].Text, "A");
	EXPECT_EQ(Result.Tokens[0].Line, 2);
	EXPECT_EQ(Result.Tokens[1].Text, "B");
	EXPECT_EQ(Result.Tokens[1].Line, 5);
	EXPECT_EQ(Result.Tokens[2].Kind, ETokenKind::String);
	EXPECT_EQ(Result.Tokens[3].Text, "C");
	EXPECT_EQ(Result.Tokens[3].Line, 6);
	EXPECT_EQ(Result.Tokens[4].Text, "D");
	EXPECT_EQ(Result.Tokens[4].Line, 9);
	EXPECT_TRUE(Result.Tokens[5].IsEnd());
}

TEST(Tokenizer, LiteralsAreSingleTokensWhateverTheyHoldInside)
{
	const FTokenizedSource Result = Tokenize(R"src(A("a \" } UPROPERTY(", '}', '\'', L"w", u8"x", u8R"d(q)" })d", B))src");
	std::vector<std::string> Literals;
	for (const FToken& Token : Result.Tokens)
	{
		if (Token.Kind == ETokenKind::String || Token.Kind == ETokenKind::Character)
		{
			Literals.push_back(Token.Text);
		}
	}
	EXPECT_EQ(Literals, (std::vector<std::string>{R"("a \" } UPROPERTY(")", "'}'", R"('\'')", R"(L"w")", R"(u8"x")", R"src(u8R"d(q)" })d")src"}));
	EXPECT_FALSE(Result.Tokens[2].Is("a \" } UPROPERTY(")) << "Is() never matches a literal";
	EXPECT_EQ(Result.Tokens[Result.Tokens.size() - 3].Text, "B");
}

TEST(Tokenizer, PunctuationKeepsScopeAndSplitsClosingAngles)
{
	EXPECT_EQ(Texts("TArray<TMap<A::B, int32>>&& X...;"),
		(std::vector<std::string>{"TArray", "<", "TMap", "<", "A", "::", "B", ",", "int32", ">", ">", "&&", "X", "...", ";"}));
	EXPECT_EQ(Texts("a==b!=c=d"), (std::vector<std::string>{"a", "==", "b", "!=", "c", "=", "d"}));
}

TEST(Tokenizer, NumbersIncludeSeparatorsSuffixesAndExponents)
{
	EXPECT_EQ(Texts("1'000'000 0x1Fu 1.5e-3f .5 0b10 -7"),
		(std::vector<std::string>{"1'000'000", "0x1Fu", "1.5e-3f", ".5", "0b10", "-", "7"}));
	EXPECT_EQ(Tokenize("42").Tokens[0].Kind, ETokenKind::Number);
}

TEST(Tokenizer, CleanTextBlanksCommentsButKeepsOffsetsAndLines)
{
	const std::string Source = "A /* x\ny */ B // z\nC";
	const FTokenizedSource Result = Tokenize(Source);
	EXPECT_EQ(Result.CleanText, "A     \n     B     \nC");
	for (const FToken& Token : Result.Tokens)
	{
		EXPECT_EQ(Result.CleanText.substr(Token.Begin, Token.End - Token.Begin), Token.Text);
	}
}

TEST(Tokenizer, UnterminatedCommentsAndLiteralsAreErrorsAtTheirStart)
{
	EXPECT_EQ(ErrorOf("A\n/* never closed\n\n"), "Test.h:2: error: unterminated comment");
	EXPECT_EQ(ErrorOf("A\n\nB(\"open\n\");"), "Test.h:3: error: unterminated string literal");
	EXPECT_EQ(ErrorOf("'x"), "Test.h:1: error: unterminated character literal");
	EXPECT_EQ(ErrorOf("\nR\"abc(text)ab\""), "Test.h:2: error: unterminated raw string literal");
}
