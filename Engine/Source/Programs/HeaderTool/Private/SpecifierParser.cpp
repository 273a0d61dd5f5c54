#include "SpecifierParser.h"

#include "HeaderToolError.h"

#include <cctype>

namespace
{
	bool IsIdentifier(std::string_view Text)
	{
		if (Text.empty() || std::isdigit(static_cast<unsigned char>(Text[0])))
		{
			return false;
		}
		for (const char C : Text)
		{
			if (!std::isalnum(static_cast<unsigned char>(C)) && C != '_')
			{
				return false;
			}
		}
		return true;
	}

	/** Skips a string or character literal starting at Index; returns the index after it, npos when unterminated. */
	size_t SkipLiteral(std::string_view Text, size_t Index)
	{
		const char Quote = Text[Index];
		for (++Index; Index < Text.size(); ++Index)
		{
			if (Text[Index] == '\\')
			{
				++Index;
			}
			else if (Text[Index] == Quote)
			{
				return Index + 1;
			}
		}
		return std::string_view::npos;
	}

	char ClosingBracket(char Open)
	{
		return Open == '(' ? ')' : Open == '[' ? ']' : '}';
	}
}

FSpecifierList FSpecifierParser::ParseSpecifiers(std::string_view Text, const std::string& File, int Line)
{
	FSpecifierList Result;
	for (std::string& Item : SplitTopLevel(Text, File, Line))
	{
		const std::string Name = SpecifierName(Item);
		if (!IsIdentifier(Name))
		{
			throw FHeaderToolError(File, Line, "malformed specifier '" + Item + "'");
		}
		const size_t Equals = FindTopLevelEquals(Item);
		const std::string Value = Equals == std::string::npos ? std::string() : Trim(std::string_view(Item).substr(Equals + 1));
		if (Equals != std::string::npos && Value.empty())
		{
			throw FHeaderToolError(File, Line, "specifier '" + Name + "' has no value after '='");
		}

		if (EqualsIgnoreCase(Name, "meta"))
		{
			if (Value.size() < 2 || Value.front() != '(' || Value.back() != ')')
			{
				throw FHeaderToolError(File, Line, "meta needs a parenthesised list, as in meta = (Key = \"Value\")");
			}
			for (FMetaDataEntry& Entry : ParseMetaData(std::string_view(Value).substr(1, Value.size() - 2), File, Line))
			{
				Result.MetaData.push_back(std::move(Entry));
			}
		}
		else
		{
			// Stored under the engine's spelling so that lookups by key find it however the author cased it.
			for (const char* Key : {"Category", "DisplayName", "ToolTip"})
			{
				if (EqualsIgnoreCase(Name, Key))
				{
					if (Value.empty())
					{
						throw FHeaderToolError(File, Line, std::string(Key) + " needs a value, as in " + Key + " = \"...\"");
					}
					Result.MetaData.push_back({Key, Unquote(Value)});
				}
			}
		}
		Result.Specifiers.push_back(std::move(Item));
	}
	return Result;
}

std::vector<FMetaDataEntry> FSpecifierParser::ParseMetaData(std::string_view Text, const std::string& File, int Line)
{
	std::vector<FMetaDataEntry> Result;
	for (const std::string& Item : SplitTopLevel(Text, File, Line))
	{
		const size_t Equals = FindTopLevelEquals(Item);
		FMetaDataEntry Entry;
		Entry.Key = Unquote(std::string_view(Item).substr(0, Equals));
		if (Equals != std::string::npos)
		{
			Entry.Value = Unquote(std::string_view(Item).substr(Equals + 1));
		}
		if (Entry.Key.empty())
		{
			throw FHeaderToolError(File, Line, "metadata entry '" + Item + "' has no key");
		}
		Result.push_back(std::move(Entry));
	}
	return Result;
}

std::vector<std::string> FSpecifierParser::SplitTopLevel(std::string_view Text, const std::string& File, int Line)
{
	std::vector<std::string> Items;
	if (Trim(Text).empty())
	{
		return Items;
	}
	std::string Open;
	size_t ItemStart = 0;
	for (size_t Index = 0; Index <= Text.size(); ++Index)
	{
		const char C = Index < Text.size() ? Text[Index] : ',';
		if (C == '"' || C == '\'')
		{
			const size_t After = SkipLiteral(Text, Index);
			if (After == std::string_view::npos)
			{
				throw FHeaderToolError(File, Line, "unterminated string literal in specifiers");
			}
			Index = After - 1;
		}
		else if (C == '(' || C == '[' || C == '{')
		{
			Open.push_back(C);
		}
		else if (C == ')' || C == ']' || C == '}')
		{
			if (Open.empty() || ClosingBracket(Open.back()) != C)
			{
				throw FHeaderToolError(File, Line, "unbalanced parentheses in specifiers");
			}
			Open.pop_back();
		}
		else if (C == ',' && Open.empty())
		{
			std::string Item = Trim(Text.substr(ItemStart, Index - ItemStart));
			if (Item.empty())
			{
				throw FHeaderToolError(File, Line, "empty specifier");
			}
			Items.push_back(std::move(Item));
			ItemStart = Index + 1;
		}
		if (Index == Text.size() && !Open.empty())
		{
			throw FHeaderToolError(File, Line, "unbalanced parentheses in specifiers");
		}
	}
	return Items;
}

std::string FSpecifierParser::SpecifierName(std::string_view Specifier)
{
	return Trim(Specifier.substr(0, FindTopLevelEquals(Specifier)));
}

std::string FSpecifierParser::Unquote(std::string_view Value)
{
	const std::string Trimmed = Trim(Value);
	if (Trimmed.size() < 2 || Trimmed.front() != '"' || SkipLiteral(Trimmed, 0) != Trimmed.size())
	{
		return Trimmed;
	}
	std::string Result;
	for (size_t Index = 1; Index + 1 < Trimmed.size(); ++Index)
	{
		char C = Trimmed[Index];
		if (C == '\\')
		{
			C = Trimmed[++Index];
			C = C == 'n' ? '\n' : C == 't' ? '\t' : C == 'r' ? '\r' : C;
		}
		Result.push_back(C);
	}
	return Result;
}

std::string FSpecifierParser::Trim(std::string_view Text)
{
	const size_t First = Text.find_first_not_of(" \t\r\n");
	if (First == std::string_view::npos)
	{
		return std::string();
	}
	const size_t Last = Text.find_last_not_of(" \t\r\n");
	return std::string(Text.substr(First, Last - First + 1));
}

bool FSpecifierParser::EqualsIgnoreCase(std::string_view A, std::string_view B)
{
	if (A.size() != B.size())
	{
		return false;
	}
	for (size_t Index = 0; Index < A.size(); ++Index)
	{
		if (std::tolower(static_cast<unsigned char>(A[Index])) != std::tolower(static_cast<unsigned char>(B[Index])))
		{
			return false;
		}
	}
	return true;
}

size_t FSpecifierParser::FindTopLevelEquals(std::string_view Item)
{
	int Depth = 0;
	for (size_t Index = 0; Index < Item.size(); ++Index)
	{
		const char C = Item[Index];
		if (C == '"' || C == '\'')
		{
			const size_t After = SkipLiteral(Item, Index);
			if (After == std::string_view::npos)
			{
				return std::string_view::npos;
			}
			Index = After - 1;
		}
		else if (C == '(' || C == '[' || C == '{')
		{
			++Depth;
		}
		else if (C == ')' || C == ']' || C == '}')
		{
			--Depth;
		}
		else if (C == '=' && Depth == 0)
		{
			return Index;
		}
	}
	return std::string_view::npos;
}
