#pragma once

// TJsonReader: JSON text waiting to be read by FJsonSerializer::Deserialize, and the account
// of why reading it failed. Text is UTF-8, so only TJsonReader<TCHAR> exists here.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Templates/SharedPointer.h"

#include <memory>
#include <type_traits>
#include <utility>

class FJsonSerializer;

template <class CharType>
class TJsonReaderFactory;

template <class CharType = TCHAR>
class TJsonReader
{
	static_assert(std::is_same_v<CharType, TCHAR>, "JSON text is UTF-8 in this runtime: read it with TJsonReader<TCHAR>");

public:
	/**
	 * Why the last read failed, ending with where: "syntax error while parsing value - invalid
	 * literal; last read: 'x' (line 2, character 7)". Empty while nothing has failed.
	 */
	const FString& GetErrorMessage() const { return ErrorMessage; }
	/** The 1-based line of the error, or 0 while nothing has failed. */
	uint32 GetLineNumber() const { return LineNumber; }
	/** The 1-based character (code point) within that line, or 0 while nothing has failed. */
	uint32 GetCharacterNumber() const { return CharacterNumber; }

private:
	friend class FJsonSerializer;
	friend class TJsonReaderFactory<CharType>;

	explicit TJsonReader(FString InText) : Text(std::move(InText)) {}

	FString Text;
	FString ErrorMessage;
	uint32 LineNumber = 0;
	uint32 CharacterNumber = 0;
};

template <class CharType = TCHAR>
class TJsonReaderFactory
{
public:
	static TSharedRef<TJsonReader<CharType>> Create(const FString& JsonString)
	{
		return TSharedRef<TJsonReader<CharType>>(std::shared_ptr<TJsonReader<CharType>>(new TJsonReader<CharType>(JsonString)));
	}
	/** Takes the text over instead of copying it. */
	static TSharedRef<TJsonReader<CharType>> Create(FString&& JsonString)
	{
		return TSharedRef<TJsonReader<CharType>>(std::shared_ptr<TJsonReader<CharType>>(new TJsonReader<CharType>(std::move(JsonString))));
	}
};
