#pragma once

#include "CoreMinimal.h"

#include <nlohmann/json.hpp>

#include <exception>
#include <initializer_list>
#include <string>

/**
 * Checks the values of a parsed JSON document (nlohmann's basic_json, of any number types) as a
 * reader takes them out, and keeps the first failure as one message naming the place and the
 * reason: "attachments[1].mesh: expected a string, found a number". Places are written as
 * "key", "list[2]" and "list[2].key", the way the program's other messages name JSON values.
 */
template <typename JsonType>
class TJsonFieldReader
{
public:
	/** The place of member Key inside the value at Prefix (the top level when empty). */
	static FString Member(const FString& Prefix, const char* Key)
	{
		return Prefix.IsEmpty() ? FString(Key) : FString::Printf(TEXT("%s.%s"), *Prefix, Key);
	}

	/** The place of element Index of the list at Prefix. */
	static FString Element(const FString& Prefix, int32 Index) { return FString::Printf(TEXT("%s[%d]"), *Prefix, Index); }

	/** What kind of value Value is, as messages name it. */
	static const char* TypeName(const JsonType& Value)
	{
		switch (Value.type())
		{
		case JsonType::value_t::object:
			return "an object";
		case JsonType::value_t::array:
			return "a list";
		case JsonType::value_t::string:
			return "a string";
		case JsonType::value_t::boolean:
			return "true or false";
		case JsonType::value_t::null:
			return "null";
		default:
			return "a number";
		}
	}

	/** The text of an exception of the JSON library without its "[json.exception.…] " tag. */
	static FString Describe(const std::exception& Error)
	{
		const std::string What = Error.what();
		const size_t TagEnd = What.find("] ");
		return FString(TagEnd == std::string::npos ? What : What.substr(TagEnd + 2));
	}

	/** Keeps "<Place>: <Reason>" as the failure (the first one only) and returns false. */
	bool Fail(const FString& Place, const FString& Reason)
	{
		if (Error.IsEmpty())
		{
			Error = Place.IsEmpty() ? Reason : FString::Printf(TEXT("%s: %s"), *Place, *Reason);
		}
		return false;
	}

	/** True when bIsExpected; else fails with "expected <Expected>, found <what Value is>". */
	bool Expect(const JsonType& Value, const FString& Place, bool bIsExpected, const char* Expected)
	{
		return bIsExpected || Fail(Place, FString::Printf(TEXT("expected %s, found %s"), Expected, TypeName(Value)));
	}

	/** Fails at the first key of Object that is not one of Known, naming the keys there are. */
	bool CheckKeys(const JsonType& Object, const FString& Prefix, std::initializer_list<const char*> Known)
	{
		for (const auto& Item : Object.items())
		{
			bool bKnown = false;
			for (const char* Name : Known)
			{
				bKnown |= Item.key() == Name;
			}
			if (!bKnown)
			{
				TArray<FString> Names;
				for (const char* Name : Known)
				{
					Names.Add(FString(Name));
				}
				return Fail(Member(Prefix, Item.key().c_str()), FString::Printf(TEXT("unknown key (the keys here are %s)"), *FString::Join(Names, TEXT(", "))));
			}
		}
		return true;
	}

	/** Member Key of Object, or null when it is missing; a missing required member fails. */
	const JsonType* Find(const JsonType& Object, const FString& Prefix, const char* Key, bool bRequired)
	{
		const auto Found = Object.find(Key);
		if (Found == Object.end())
		{
			if (bRequired)
			{
				Fail(Member(Prefix, Key), TEXT("required, but missing"));
			}
			return nullptr;
		}
		return &*Found;
	}

	/** Empty until something failed. */
	const FString& GetError() const { return Error; }
	bool HasFailed() const { return !Error.IsEmpty(); }

private:
	FString Error;
};
