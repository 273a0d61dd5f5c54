#include "Containers/UnrealString.h"

#include "Misc/AssertionMacros.h"
#include "Misc/CString.h"
#include "Misc/Crc.h"

#include <algorithm>
#include <charconv>
#include <cstdarg>
#include <cstdio>

namespace
{
	char FoldCase(char Character)
	{
		return (Character >= 'A' && Character <= 'Z') ? static_cast<char>(Character - 'A' + 'a') : Character;
	}

	bool CharsEqual(char A, char B, ESearchCase::Type SearchCase)
	{
		return SearchCase == ESearchCase::CaseSensitive ? A == B : FoldCase(A) == FoldCase(B);
	}

	bool RangeEquals(std::string_view A, std::string_view B, ESearchCase::Type SearchCase)
	{
		return A.size() == B.size()
			&& std::equal(A.begin(), A.end(), B.begin(), [SearchCase](char X, char Y) { return CharsEqual(X, Y, SearchCase); });
	}

	bool IsWhitespace(char Character)
	{
		return Character == ' ' || Character == '\t' || Character == '\n' || Character == '\r' || Character == '\v' || Character == '\f';
	}

	int32 ClampToLength(int32 Count, int32 Length)
	{
		return std::clamp(Count, 0, Length);
	}
}

FString::FString(const TCHAR* Text, int32 Length)
{
	check(Length >= 0);
	if (Text)
	{
		Data.assign(Text, Length);
	}
}

FString FString::Printf(const TCHAR* Format, ...)
{
	va_list Args;
	va_start(Args, Format);
	FString Result = PrintfV(Format, Args);
	va_end(Args);
	return Result;
}

FString FString::PrintfV(const TCHAR* Format, va_list Args)
{
	va_list Copy;
	va_copy(Copy, Args);
	const int Needed = std::vsnprintf(nullptr, 0, Format, Copy);
	va_end(Copy);
	FString Result;
	if (Needed > 0)
	{
		Result.Data.resize(static_cast<SIZE_T>(Needed));
		std::vsnprintf(Result.Data.data(), Result.Data.size() + 1, Format, Args);
	}
	return Result;
}

FString FString::FromInt(int32 Number)
{
	return FString(std::to_string(Number));
}

FString FString::SanitizeFloat(double Number, int32 MinFractionalDigits)
{
	// As the engine: six decimals, then trailing zeros dropped down to MinFractionalDigits.
	std::string Text = Printf("%f", Number).Data;
	const SIZE_T Dot = Text.find('.');
	if (Dot == std::string::npos)
	{
		return FString(std::move(Text));
	}
	const SIZE_T MinEnd = Dot + 1 + static_cast<SIZE_T>(std::max(MinFractionalDigits, 0));
	SIZE_T End = Text.size();
	while (End > MinEnd && Text[End - 1] == '0')
	{
		--End;
	}
	if (End == Dot + 1)
	{
		End = Dot;
	}
	Text.resize(End);
	return FString(std::move(Text));
}

FString FString::Join(const TArray<FString>& Items, const TCHAR* Separator)
{
	FString Result;
	for (int32 Index = 0; Index < Items.Num(); ++Index)
	{
		if (Index > 0)
		{
			Result += Separator;
		}
		Result += Items[Index];
	}
	return Result;
}

FString FString::ChrN(int32 Count, TCHAR Character)
{
	return FString(std::string(static_cast<SIZE_T>(std::max(Count, 0)), Character));
}

TCHAR& FString::operator[](int32 Index)
{
	checkf(IsValidIndex(Index), "String index out of bounds: Index %d from a string with a length of %d", Index, Len());
	return Data[Index];
}

const TCHAR& FString::operator[](int32 Index) const
{
	checkf(IsValidIndex(Index), "String index out of bounds: Index %d from a string with a length of %d", Index, Len());
	return Data[Index];
}

bool FString::Equals(const FString& Other, ESearchCase::Type SearchCase) const
{
	return RangeEquals(Data, Other.Data, SearchCase);
}

int32 FString::Compare(const FString& Other, ESearchCase::Type SearchCase) const
{
	const SIZE_T Common = std::min(Data.size(), Other.Data.size());
	for (SIZE_T Index = 0; Index < Common; ++Index)
	{
		const char A = SearchCase == ESearchCase::IgnoreCase ? FoldCase(Data[Index]) : Data[Index];
		const char B = SearchCase == ESearchCase::IgnoreCase ? FoldCase(Other.Data[Index]) : Other.Data[Index];
		if (A != B)
		{
			return static_cast<unsigned char>(A) < static_cast<unsigned char>(B) ? -1 : 1;
		}
	}
	return Data.size() == Other.Data.size() ? 0 : (Data.size() < Other.Data.size() ? -1 : 1);
}

bool FString::StartsWith(const FString& Prefix, ESearchCase::Type SearchCase) const
{
	return !Prefix.IsEmpty() && Prefix.Data.size() <= Data.size()
		&& RangeEquals(std::string_view(Data).substr(0, Prefix.Data.size()), Prefix.Data, SearchCase);
}

bool FString::EndsWith(const FString& Suffix, ESearchCase::Type SearchCase) const
{
	return !Suffix.IsEmpty() && Suffix.Data.size() <= Data.size()
		&& RangeEquals(std::string_view(Data).substr(Data.size() - Suffix.Data.size()), Suffix.Data, SearchCase);
}

bool FString::Contains(const FString& SubStr, ESearchCase::Type SearchCase, ESearchDir::Type SearchDir) const
{
	return Find(SubStr, SearchCase, SearchDir) != INDEX_NONE;
}

int32 FString::Find(const FString& SubStr, ESearchCase::Type SearchCase, ESearchDir::Type SearchDir, int32 StartPosition) const
{
	if (SubStr.IsEmpty() || SubStr.Len() > Len())
	{
		return INDEX_NONE;
	}
	const auto Matches = [&](int32 Position) {
		return RangeEquals(std::string_view(Data).substr(Position, SubStr.Data.size()), SubStr.Data, SearchCase);
	};
	const int32 LastStart = Len() - SubStr.Len();
	if (SearchDir == ESearchDir::FromStart)
	{
		for (int32 Position = std::max(StartPosition, 0); Position <= LastStart; ++Position)
		{
			if (Matches(Position))
			{
				return Position;
			}
		}
		return INDEX_NONE;
	}
	// From the end, StartPosition is where the match must end before, as the engine reads it.
	const int32 First = StartPosition == INDEX_NONE ? LastStart : std::min(StartPosition - SubStr.Len(), LastStart);
	for (int32 Position = First; Position >= 0; --Position)
	{
		if (Matches(Position))
		{
			return Position;
		}
	}
	return INDEX_NONE;
}

bool FString::FindChar(TCHAR Character, int32& OutIndex) const
{
	const SIZE_T Position = Data.find(Character);
	OutIndex = Position == std::string::npos ? INDEX_NONE : static_cast<int32>(Position);
	return OutIndex != INDEX_NONE;
}

bool FString::FindLastChar(TCHAR Character, int32& OutIndex) const
{
	const SIZE_T Position = Data.rfind(Character);
	OutIndex = Position == std::string::npos ? INDEX_NONE : static_cast<int32>(Position);
	return OutIndex != INDEX_NONE;
}

FString FString::ToLower() const
{
	FString Result = *this;
	Result.ToLowerInline();
	return Result;
}

FString FString::ToUpper() const
{
	FString Result = *this;
	Result.ToUpperInline();
	return Result;
}

void FString::ToLowerInline()
{
	std::transform(Data.begin(), Data.end(), Data.begin(), FoldCase);
}

void FString::ToUpperInline()
{
	std::transform(Data.begin(), Data.end(), Data.begin(),
		[](char Character) { return (Character >= 'a' && Character <= 'z') ? static_cast<char>(Character - 'a' + 'A') : Character; });
}

FString FString::Left(int32 Count) const
{
	return FString(Data.substr(0, ClampToLength(Count, Len())));
}

FString FString::LeftChop(int32 Count) const
{
	return Left(Len() - ClampToLength(Count, Len()));
}

FString FString::Mid(int32 Start, int32 Count) const
{
	if (Count <= 0)
	{
		return FString();
	}
	// Clamp in 64 bits: Start + Count may overflow 32 bits with the default Count.
	const int64 End = std::clamp<int64>(static_cast<int64>(Start) + Count, 0, Len());
	const int32 First = ClampToLength(Start, Len());
	return End > First ? FString(Data.substr(First, End - First)) : FString();
}

FString FString::Right(int32 Count) const
{
	const int32 Kept = ClampToLength(Count, Len());
	return FString(Data.substr(Len() - Kept));
}

FString FString::RightChop(int32 Count) const
{
	return FString(Data.substr(ClampToLength(Count, Len())));
}

void FString::LeftInline(int32 Count)
{
	*this = Left(Count);
}

void FString::LeftChopInline(int32 Count)
{
	*this = LeftChop(Count);
}

void FString::RightChopInline(int32 Count)
{
	*this = RightChop(Count);
}

void FString::MidInline(int32 Start, int32 Count)
{
	*this = Mid(Start, Count);
}

bool FString::Split(const FString& InS, FString* LeftS, FString* RightS, ESearchCase::Type SearchCase, ESearchDir::Type SearchDir) const
{
	const int32 Position = Find(InS, SearchCase, SearchDir);
	if (Position == INDEX_NONE)
	{
		return false;
	}
	// Read both halves before writing: an output may alias this string.
	FString LeftPart = Left(Position);
	FString RightPart = Mid(Position + InS.Len());
	if (LeftS)
	{
		*LeftS = std::move(LeftPart);
	}
	if (RightS)
	{
		*RightS = std::move(RightPart);
	}
	return true;
}

FString FString::Replace(const TCHAR* From, const TCHAR* To, ESearchCase::Type SearchCase) const
{
	FString Result = *this;
	Result.ReplaceInline(From, To, SearchCase);
	return Result;
}

int32 FString::ReplaceInline(const TCHAR* From, const TCHAR* To, ESearchCase::Type SearchCase)
{
	const FString Pattern(From);
	const std::string_view Replacement(To ? To : "");
	if (Pattern.IsEmpty())
	{
		return 0;
	}
	std::string Result;
	int32 Count = 0;
	int32 Position = 0;
	for (int32 Match = Find(Pattern, SearchCase); Match != INDEX_NONE; Match = Find(Pattern, SearchCase, ESearchDir::FromStart, Position))
	{
		Result.append(Data, Position, Match - Position);
		Result.append(Replacement);
		Position = Match + Pattern.Len();
		++Count;
	}
	if (Count > 0)
	{
		Result.append(Data, Position);
		Data = std::move(Result);
	}
	return Count;
}

int32 FString::ParseIntoArray(TArray<FString>& OutArray, const TCHAR* Delimiter, bool bCullEmpty) const
{
	OutArray.Reset();
	const std::string_view Separator(Delimiter ? Delimiter : "");
	if (Separator.empty())
	{
		if (!IsEmpty() || !bCullEmpty)
		{
			OutArray.Add(*this);
		}
		return OutArray.Num();
	}
	SIZE_T Start = 0;
	while (true)
	{
		const SIZE_T Match = Data.find(Separator, Start);
		const SIZE_T End = Match == std::string::npos ? Data.size() : Match;
		if (End > Start || !bCullEmpty)
		{
			OutArray.Add(FString(Data.substr(Start, End - Start)));
		}
		if (Match == std::string::npos)
		{
			break;
		}
		Start = Match + Separator.size();
	}
	return OutArray.Num();
}

FString FString::TrimStart() const
{
	const auto First = std::find_if_not(Data.begin(), Data.end(), IsWhitespace);
	return FString(std::string(First, Data.end()));
}

FString FString::TrimEnd() const
{
	const auto Last = std::find_if_not(Data.rbegin(), Data.rend(), IsWhitespace);
	return FString(std::string(Data.begin(), Last.base()));
}

FString FString::TrimStartAndEnd() const
{
	return TrimStart().TrimEnd();
}

bool FString::IsNumeric() const
{
	return FCString::IsNumeric(**this);
}

FString FString::Reverse() const
{
	return FString(std::string(Data.rbegin(), Data.rend()));
}

FString& FString::Append(const FString& Text)
{
	Data += Text.Data;
	return *this;
}

FString& FString::Append(const TCHAR* Text, int32 Count)
{
	check(Count >= 0);
	if (Text)
	{
		Data.append(Text, Count);
	}
	return *this;
}

FString& FString::AppendChar(TCHAR Character)
{
	Data += Character;
	return *this;
}

FString& FString::AppendInt(int32 Number)
{
	Data += std::to_string(Number);
	return *this;
}

void FString::InsertAt(int32 Index, const FString& Text)
{
	check(Index >= 0 && Index <= Len());
	Data.insert(Index, Text.Data);
}

void FString::RemoveAt(int32 Index, int32 Count)
{
	check(Index >= 0 && Count >= 0 && Index + Count <= Len());
	Data.erase(Index, Count);
}

bool FString::RemoveFromStart(const FString& Prefix, ESearchCase::Type SearchCase)
{
	if (!StartsWith(Prefix, SearchCase))
	{
		return false;
	}
	Data.erase(0, Prefix.Data.size());
	return true;
}

bool FString::RemoveFromEnd(const FString& Suffix, ESearchCase::Type SearchCase)
{
	if (!EndsWith(Suffix, SearchCase))
	{
		return false;
	}
	Data.erase(Data.size() - Suffix.Data.size());
	return true;
}

FString& FString::operator/=(const FString& Path)
{
	if (Path.IsEmpty())
	{
		return *this;
	}
	const bool bHasSlash = !Data.empty() && (Data.back() == '/' || Data.back() == '\\');
	const bool bPathHasSlash = Path.Data.front() == '/' || Path.Data.front() == '\\';
	if (!Data.empty() && !bHasSlash && !bPathHasSlash)
	{
		Data += '/';
	}
	if (bHasSlash && bPathHasSlash)
	{
		Data.append(Path.Data, 1);
	}
	else
	{
		Data += Path.Data;
	}
	return *this;
}

uint32 GetTypeHash(const FString& Text)
{
	return FCrc::Strihash_DEPRECATED(Text.Len(), *Text);
}

FString LexToString(int32 Value) { return FString(std::to_string(Value)); }
FString LexToString(int64 Value) { return FString(std::to_string(Value)); }
FString LexToString(uint32 Value) { return FString(std::to_string(Value)); }
FString LexToString(uint64 Value) { return FString(std::to_string(Value)); }
FString LexToString(float Value) { return FString::Printf("%f", Value); }
FString LexToString(double Value) { return FString::Printf("%f", Value); }
FString LexToString(bool Value) { return FString(Value ? "true" : "false"); }
FString LexToString(const FString& Value) { return Value; }
FString LexToString(const TCHAR* Value) { return FString(Value); }

void LexFromString(int32& OutValue, const TCHAR* Text) { OutValue = FCString::Atoi(Text); }
void LexFromString(int64& OutValue, const TCHAR* Text) { OutValue = FCString::Atoi64(Text); }
void LexFromString(float& OutValue, const TCHAR* Text) { OutValue = FCString::Atof(Text); }
void LexFromString(double& OutValue, const TCHAR* Text) { OutValue = FCString::Atod(Text); }
void LexFromString(bool& OutValue, const TCHAR* Text) { OutValue = FCString::ToBool(Text); }
void LexFromString(FString& OutValue, const TCHAR* Text) { OutValue = FString(Text); }

namespace
{
	template <typename T>
	bool TryParseWhole(T& OutValue, const TCHAR* Text)
	{
		if (!Text || !*Text)
		{
			return false;
		}
		const char* End = Text + std::char_traits<char>::length(Text);
		const char* Begin = *Text == '+' ? Text + 1 : Text;
		T Value{};
		const auto Result = std::from_chars(Begin, End, Value);
		if (Result.ec != std::errc() || Result.ptr != End)
		{
			return false;
		}
		OutValue = Value;
		return true;
	}
}

bool LexTryParseString(int32& OutValue, const TCHAR* Text) { return TryParseWhole(OutValue, Text); }
bool LexTryParseString(float& OutValue, const TCHAR* Text) { return TryParseWhole(OutValue, Text); }
bool LexTryParseString(double& OutValue, const TCHAR* Text) { return TryParseWhole(OutValue, Text); }
