#pragma once

// FSpecifierParser: reads the text between the parentheses of a reflection macro. Items are
// split at commas outside brackets and string literals and kept verbatim (trimmed), because
// reflection hands them to the runtime as written. Metadata comes from Category, DisplayName
// and ToolTip given directly and from every item of meta=(...); UMETA and the inside of
// meta=(...) are metadata only.

#include "ReflectionModel.h"

#include <string>
#include <string_view>
#include <vector>

class FSpecifierParser
{
public:
	/** File and Line locate the macro in errors. */
	static FSpecifierList ParseSpecifiers(std::string_view Text, const std::string& File, int Line);
	/** Key=Value or bare Key items ("" value); quotes around keys and values are removed. */
	static std::vector<FMetaDataEntry> ParseMetaData(std::string_view Text, const std::string& File, int Line);

	/** Splits at top-level commas into trimmed items; blank text gives none. */
	static std::vector<std::string> SplitTopLevel(std::string_view Text, const std::string& File, int Line);
	/** The part of an item before its first top-level '=', trimmed ("Category" for Category = "A"). */
	static std::string SpecifierName(std::string_view Specifier);
	/** A value with one enclosing string literal decoded; any other value trimmed but unchanged. */
	static std::string Unquote(std::string_view Value);
	static std::string Trim(std::string_view Text);
	static bool EqualsIgnoreCase(std::string_view A, std::string_view B);

private:
	/** Index of the first '=' outside brackets and literals, npos if none. */
	static size_t FindTopLevelEquals(std::string_view Item);
};
