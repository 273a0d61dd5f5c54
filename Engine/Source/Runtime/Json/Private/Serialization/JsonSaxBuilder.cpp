#include "Serialization/JsonSaxBuilder.h"

#include <algorithm>

namespace
{
	constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

	const TCHAR* DescribeKind(EJson Type)
	{
		switch (Type)
		{
		case EJson::Object: return TEXT("an object");
		case EJson::Array: return TEXT("an array");
		case EJson::String: return TEXT("a string");
		case EJson::Number: return TEXT("a number");
		case EJson::Boolean: return TEXT("a boolean");
		default: return TEXT("null");
		}
	}

	bool IsJsonWhitespace(char Character)
	{
		return Character == ' ' || Character == '\t' || Character == '\n' || Character == '\r';
	}

	/**
	 * nlohmann-json's messages read "[json.exception.parse_error.101] parse error at line 1,
	 * column 9: syntax error ..."; the reader states the place itself, so only the text after
	 * the exception's name and position is kept.
	 */
	FString StripExceptionPrefix(std::string_view Message)
	{
		const SIZE_T NameEnd = Message.find("] ");
		if (Message.starts_with("[json.exception.") && NameEnd != std::string_view::npos)
		{
			Message.remove_prefix(NameEnd + 2);
		}
		const SIZE_T PositionEnd = Message.find(": ");
		if (Message.starts_with("parse error") && PositionEnd != std::string_view::npos)
		{
			Message.remove_prefix(PositionEnd + 2);
		}
		return FString(Message);
	}
}

bool FJsonSaxBuilder::parse_error(std::size_t Position, const std::string&, const FJson::exception& Exception)
{
	Error.Message = StripExceptionPrefix(Exception.what());
	// Position counts the characters the parser has read, the one it stopped at included;
	// at the end of the text it counts one past the last.
	Error.Offset = std::min<SIZE_T>(Position > 0 ? Position - 1 : 0, Text.size());
	return false;
}

bool FJsonSaxBuilder::RejectTopLevel(EJson FoundType)
{
	Error.Message = FString::Printf(TEXT("Expected %s at the top level, found %s"), DescribeKind(RequiredType), DescribeKind(FoundType));
	// Everything before the value is valid JSON, so it can only be a byte order mark and whitespace.
	SIZE_T Offset = Text.starts_with(ByteOrderMark) ? ByteOrderMark.size() : 0;
	while (Offset < Text.size() && IsJsonWhitespace(Text[Offset]))
	{
		++Offset;
	}
	Error.Offset = Offset;
	return false;
}

bool FJsonSaxBuilder::RejectDepth()
{
	Error.Message = FString::Printf(TEXT("Objects and arrays are nested more than %d deep"), MaxDepth);
	// The parser has accepted everything up to the opening that went too deep, so counting
	// brackets outside strings finds it.
	int32 Depth = 0;
	bool bInString = false;
	bool bEscaped = false;
	Error.Offset = Text.size();
	for (SIZE_T Offset = 0; Offset < Text.size(); ++Offset)
	{
		const char Character = Text[Offset];
		if (bInString)
		{
			if (bEscaped)
			{
				bEscaped = false;
			}
			else if (Character == '\\')
			{
				bEscaped = true;
			}
			else if (Character == '"')
			{
				bInString = false;
			}
		}
		else if (Character == '"')
		{
			bInString = true;
		}
		else if (Character == '{' || Character == '[')
		{
			if (++Depth > MaxDepth)
			{
				Error.Offset = Offset;
				break;
			}
		}
		else if (Character == '}' || Character == ']')
		{
			--Depth;
		}
	}
	return false;
}
