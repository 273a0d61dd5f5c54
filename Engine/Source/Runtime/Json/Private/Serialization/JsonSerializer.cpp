#include "Serialization/JsonSerializer.h"

#include "Serialization/JsonSaxBuilder.h"

#include <string_view>

namespace
{
	struct FTextPosition
	{
		uint32 Line = 1;
		uint32 Character = 1;
	};

	/** The 1-based line and character (code point, a byte order mark not counted) of a byte offset. */
	FTextPosition LocateOffset(std::string_view Text, SIZE_T Offset)
	{
		constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
		FTextPosition Position;
		SIZE_T LineStart = Text.starts_with(ByteOrderMark) && Offset >= ByteOrderMark.size() ? ByteOrderMark.size() : 0;
		for (SIZE_T Index = LineStart; Index < Offset; ++Index)
		{
			if (Text[Index] == '\n')
			{
				++Position.Line;
				LineStart = Index + 1;
			}
		}
		for (SIZE_T Index = LineStart; Index < Offset; ++Index)
		{
			// UTF-8 continuation bytes (10xxxxxx) belong to the code point before them.
			if ((static_cast<unsigned char>(Text[Index]) & 0xC0) != 0x80)
			{
				++Position.Character;
			}
		}
		return Position;
	}
}

bool FJsonSerializer::Deserialize(const TSharedRef<TJsonReader<>>& Reader, TSharedPtr<FJsonObject>& OutObject)
{
	TSharedPtr<FJsonValue> Value;
	if (!Read(*Reader, EJson::Object, Value))
	{
		return false;
	}
	OutObject = Value->AsObject();
	return true;
}

bool FJsonSerializer::Deserialize(const TSharedRef<TJsonReader<>>& Reader, TArray<TSharedPtr<FJsonValue>>& OutArray)
{
	TSharedPtr<FJsonValue> Value;
	if (!Read(*Reader, EJson::Array, Value))
	{
		return false;
	}
	OutArray = Value->AsArray();
	return true;
}

bool FJsonSerializer::Deserialize(const TSharedRef<TJsonReader<>>& Reader, TSharedPtr<FJsonValue>& OutValue)
{
	return Read(*Reader, EJson::None, OutValue);
}

bool FJsonSerializer::Read(TJsonReader<>& Reader, EJson RequiredType, TSharedPtr<FJsonValue>& OutValue)
{
	const std::string_view Text = Reader.Text.ToView();
	FJsonSaxBuilder Builder(Text, RequiredType, MaxNestingDepth);
	if (nlohmann::json::sax_parse(Text.data(), Text.data() + Text.size(), &Builder))
	{
		OutValue = Builder.TakeRoot();
		Reader.ErrorMessage.Reset();
		Reader.LineNumber = 0;
		Reader.CharacterNumber = 0;
		return true;
	}
	const FJsonSaxBuilder::FError& Error = Builder.GetError();
	const FTextPosition Position = LocateOffset(Text, Error.Offset);
	Reader.ErrorMessage = FString::Printf(TEXT("%s (line %u, character %u)"), *Error.Message, Position.Line, Position.Character);
	Reader.LineNumber = Position.Line;
	Reader.CharacterNumber = Position.Character;
	return false;
}
