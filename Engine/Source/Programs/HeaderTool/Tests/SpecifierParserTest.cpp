#include "HeaderToolError.h"
#include "SpecifierParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
	FSpecifierList Parse(const std::string& Text)
	{
		return FSpecifierParser::ParseSpecifiers(Text, "Test.h", 7);
	}

	std::string ErrorOf(const std::string& Text)
	{
		try
		{
			Parse(Text);
		}
		catch (const FHeaderToolError& Error)
		{
			return Error.what();
		}
		return "<no error>";
	}
}

TEST(SpecifierParser, KeepsItemsVerbatimSplittingOnlyAtTopLevelCommas)
{
	const FSpecifierList List = Parse("  EditAnywhere,Category = \"A, B\" ,\n\tmeta = (ClampMin = \"0\", DisplayName = \"X\"), Transient ");
	EXPECT_EQ(List.Specifiers,
		(std::vector<std::string>{"EditAnywhere", "Category = \"A, B\"", "meta = (ClampMin = \"0\", DisplayName = \"X\")", "Transient"}));
	EXPECT_TRUE(Parse("").Specifiers.empty());
	EXPECT_TRUE(Parse(" \n\t").Specifiers.empty());
}

TEST(SpecifierParser, MetaDataComesFromCategoryDisplayNameToolTipAndMetaLists)
{
	const FSpecifierList List = Parse(
		"category = Halcor|Sub, DisplayName=\"Pretty \\\"Name\\\"\", ToolTip = \"Line\\nTwo\", BlueprintReadOnly, Meta=(ClampMin=0, \"Quoted Key\" = \"v\", Bare)");
	EXPECT_EQ(List.MetaData, (std::vector<FMetaDataEntry>{
								 {"Category", "Halcor|Sub"},
								 {"DisplayName", "Pretty \"Name\""},
								 {"ToolTip", "Line\nTwo"},
								 {"ClampMin", "0"},
								 {"Quoted Key", "v"},
								 {"Bare", ""},
							 }));
	EXPECT_EQ(List.Specifiers.size(), 5u);
}

TEST(SpecifierParser, MetaDataListsTakeEveryItemAsAnEntry)
{
	EXPECT_EQ(FSpecifierParser::ParseMetaData("DisplayName = \"Alpha\", Hidden, ToolTip=x=y", "Test.h", 1),
		(std::vector<FMetaDataEntry>{{"DisplayName", "Alpha"}, {"Hidden", ""}, {"ToolTip", "x=y"}}));
	EXPECT_THROW(FSpecifierParser::ParseMetaData("= \"NoKey\"", "Test.h", 1), FHeaderToolError);
}

TEST(SpecifierParser, HasMatchesTheNameBeforeTheEqualsSignIgnoringCase)
{
	const FSpecifierList List = Parse("abstract, Category = \"BlueprintType\", meta = (BlueprintNativeEvent)");
	EXPECT_TRUE(List.Has("Abstract"));
	EXPECT_TRUE(List.Has("category"));
	EXPECT_FALSE(List.Has("BlueprintType"));
	EXPECT_FALSE(List.Has("BlueprintNativeEvent"));
}

TEST(SpecifierParser, UnquoteDecodesOnlyOneWholeStringLiteral)
{
	EXPECT_EQ(FSpecifierParser::Unquote(" \"a\\\\b\\\"c\" "), "a\\b\"c");
	EXPECT_EQ(FSpecifierParser::Unquote("Plain Value"), "Plain Value");
	EXPECT_EQ(FSpecifierParser::Unquote("\"a\" \"b\""), "\"a\" \"b\"");
	EXPECT_EQ(FSpecifierParser::Unquote("\"\""), "");
	EXPECT_EQ(FSpecifierParser::Unquote("\"open"), "\"open");
}

TEST(SpecifierParser, MalformedListsAreErrorsAtTheMacroLine)
{
	EXPECT_EQ(ErrorOf("EditAnywhere,"), "Test.h:7: error: empty specifier");
	EXPECT_EQ(ErrorOf("A,,B"), "Test.h:7: error: empty specifier");
	EXPECT_EQ(ErrorOf("meta = (A = \"1\""), "Test.h:7: error: unbalanced parentheses in specifiers");
	EXPECT_EQ(ErrorOf("meta = A)"), "Test.h:7: error: unbalanced parentheses in specifiers");
	EXPECT_EQ(ErrorOf("Category = \"open"), "Test.h:7: error: unterminated string literal in specifiers");
	EXPECT_EQ(ErrorOf("EditAnywhere BlueprintReadOnly"), "Test.h:7: error: malformed specifier 'EditAnywhere BlueprintReadOnly'");
	EXPECT_EQ(ErrorOf("\"Loose\""), "Test.h:7: error: malformed specifier '\"Loose\"'");
	EXPECT_EQ(ErrorOf("meta = ClampMin"), "Test.h:7: error: meta needs a parenthesised list, as in meta = (Key = \"Value\")");
	EXPECT_EQ(ErrorOf("Category"), "Test.h:7: error: Category needs a value, as in Category = \"...\"");
	EXPECT_EQ(ErrorOf("Category = "), "Test.h:7: error: specifier 'Category' has no value after '='");
}
