#pragma once

// FJsonSaxBuilder: receives nlohmann-json's SAX events and builds the FJsonValue tree as it
// goes, with no intermediate document. Objects and arrays under construction wait on a
// stack: an object's members go straight into its map, an array's elements gather in a
// TArray that is moved into the array value when it closes.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "Templates/SharedPointer.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class FJsonSaxBuilder
{
public:
	using FJson = nlohmann::json;

	struct FError
	{
		FString Message;
		/** Byte offset of the character at fault; the text's length when the text ended too soon. */
		SIZE_T Offset = 0;
	};

	/** RequiredType None accepts any top-level value; the builder reads Text to place its own errors. */
	FJsonSaxBuilder(std::string_view InText, EJson InRequiredType, int32 InMaxDepth)
		: Text(InText)
		, RequiredType(InRequiredType)
		, MaxDepth(InMaxDepth)
	{
	}

	TSharedPtr<FJsonValue> TakeRoot() { return std::move(Root); }
	const FError& GetError() const { return Error; }

	// The SAX events, named as nlohmann-json calls them; each returns whether to go on.

	bool null() { return Accept(EJson::Null) && Add(New<FJsonValueNull>()); }
	bool boolean(bool bValue) { return Accept(EJson::Boolean) && Add(New<FJsonValueBoolean>(bValue)); }
	bool number_integer(FJson::number_integer_t Value) { return AddNumber(static_cast<double>(Value)); }
	bool number_unsigned(FJson::number_unsigned_t Value) { return AddNumber(static_cast<double>(Value)); }
	bool number_float(FJson::number_float_t Value, const FJson::string_t&) { return AddNumber(Value); }
	bool string(FJson::string_t& Value) { return Accept(EJson::String) && Add(New<FJsonValueString>(FString(std::move(Value)))); }
	/** Binary values come only from nlohmann-json's binary formats, never from JSON text. */
	bool binary(FJson::binary_t&) { return false; }

	bool start_object(std::size_t)
	{
		if (!Accept(EJson::Object) || !Enter())
		{
			return false;
		}
		Stack.back().Object = TSharedPtr<FJsonObject>(std::make_shared<FJsonObject>());
		return true;
	}
	bool key(FJson::string_t& Key)
	{
		Stack.back().Key = FString(std::move(Key));
		return true;
	}
	bool end_object()
	{
		TSharedPtr<FJsonObject> Object = std::move(Stack.back().Object);
		Stack.pop_back();
		return Add(New<FJsonValueObject>(std::move(Object)));
	}

	bool start_array(std::size_t) { return Accept(EJson::Array) && Enter(); }
	bool end_array()
	{
		TArray<TSharedPtr<FJsonValue>> Elements = std::move(Stack.back().Elements);
		Stack.pop_back();
		return Add(New<FJsonValueArray>(std::move(Elements)));
	}

	bool parse_error(std::size_t Position, const std::string& LastToken, const FJson::exception& Exception);

private:
	/** An object (Object set, Key naming the member awaiting its value) or an array being read. */
	struct FFrame
	{
		TSharedPtr<FJsonObject> Object;
		TArray<TSharedPtr<FJsonValue>> Elements;
		FString Key;
	};

	template <typename ValueType, typename... ArgTypes>
	static TSharedPtr<FJsonValue> New(ArgTypes&&... Args)
	{
		return TSharedPtr<FJsonValue>(std::make_shared<ValueType>(std::forward<ArgTypes>(Args)...));
	}

	/** Only the top-level value can be of the wrong kind. */
	bool Accept(EJson Type)
	{
		if (Stack.empty() && RequiredType != EJson::None && Type != RequiredType)
		{
			return RejectTopLevel(Type);
		}
		return true;
	}

	bool Enter()
	{
		if (Stack.size() >= static_cast<SIZE_T>(MaxDepth))
		{
			return RejectDepth();
		}
		Stack.emplace_back();
		return true;
	}

	bool AddNumber(double Value) { return Accept(EJson::Number) && Add(New<FJsonValueNumber>(Value)); }

	bool Add(TSharedPtr<FJsonValue>&& Value)
	{
		if (Stack.empty())
		{
			Root = std::move(Value);
			return true;
		}
		FFrame& Frame = Stack.back();
		if (Frame.Object)
		{
			Frame.Object->Values.Add(std::move(Frame.Key), std::move(Value));
		}
		else
		{
			Frame.Elements.Add(std::move(Value));
		}
		return true;
	}

	bool RejectTopLevel(EJson FoundType);
	bool RejectDepth();

	std::string_view Text;
	EJson RequiredType;
	int32 MaxDepth;
	std::vector<FFrame> Stack;
	TSharedPtr<FJsonValue> Root;
	FError Error;
};
