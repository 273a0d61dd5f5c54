#include "Misc/CString.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace
{
	template <typename T>
	T ClampTo(long long Value)
	{
		return static_cast<T>(std::clamp<long long>(Value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
	}
}

int32 FCString::Atoi(const TCHAR* Text)
{
	return Text ? ClampTo<int32>(std::strtoll(Text, nullptr, 10)) : 0;
}

int64 FCString::Atoi64(const TCHAR* Text)
{
	return Text ? static_cast<int64>(std::strtoll(Text, nullptr, 10)) : 0;
}

float FCString::Atof(const TCHAR* Text)
{
	return Text ? std::strtof(Text, nullptr) : 0.0f;
}

double FCString::Atod(const TCHAR* Text)
{
	return Text ? std::strtod(Text, nullptr) : 0.0;
}

bool FCString::ToBool(const TCHAR* Text)
{
	if (!Text)
	{
		return false;
	}
	if (Stricmp(Text, "true") == 0 || Stricmp(Text, "yes") == 0 || Stricmp(Text, "on") == 0)
	{
		return true;
	}
	return Atoi(Text) != 0;
}

int32 FCString::Strtoi(const TCHAR* Text, TCHAR** End, int32 Base)
{
	return ClampTo<int32>(std::strtoll(Text, End, Base));
}

int32 FCString::Strlen(const TCHAR* Text)
{
	return Text ? static_cast<int32>(std::strlen(Text)) : 0;
}

int32 FCString::Strcmp(const TCHAR* A, const TCHAR* B)
{
	return std::strcmp(A, B);
}

int32 FCString::Stricmp(const TCHAR* A, const TCHAR* B)
{
	return Strnicmp(A, B, static_cast<SIZE_T>(-1));
}

int32 FCString::Strnicmp(const TCHAR* A, const TCHAR* B, SIZE_T Count)
{
	for (SIZE_T Index = 0; Index < Count; ++Index)
	{
		const unsigned char CharA = static_cast<unsigned char>(FChar::ToLower(A[Index]));
		const unsigned char CharB = static_cast<unsigned char>(FChar::ToLower(B[Index]));
		if (CharA != CharB || CharA == 0)
		{
			return CharA - CharB;
		}
	}
	return 0;
}

bool FCString::IsNumeric(const TCHAR* Text)
{
	// The engine's rule: an optional sign, digits with at most one '.', nothing else.
	if (!Text || !*Text)
	{
		return false;
	}
	if (*Text == '-' || *Text == '+')
	{
		++Text;
	}
	bool bHasDot = false;
	bool bHasDigit = false;
	for (; *Text; ++Text)
	{
		if (*Text == '.')
		{
			if (bHasDot)
			{
				return false;
			}
			bHasDot = true;
		}
		else if (FChar::IsDigit(*Text))
		{
			bHasDigit = true;
		}
		else
		{
			return false;
		}
	}
	return bHasDigit;
}

TCHAR FChar::ToLower(TCHAR Character)
{
	return (Character >= 'A' && Character <= 'Z') ? static_cast<TCHAR>(Character - 'A' + 'a') : Character;
}

TCHAR FChar::ToUpper(TCHAR Character)
{
	return (Character >= 'a' && Character <= 'z') ? static_cast<TCHAR>(Character - 'a' + 'A') : Character;
}

bool FChar::IsDigit(TCHAR Character)
{
	return Character >= '0' && Character <= '9';
}

bool FChar::IsAlpha(TCHAR Character)
{
	return (Character >= 'a' && Character <= 'z') || (Character >= 'A' && Character <= 'Z');
}

bool FChar::IsWhitespace(TCHAR Character)
{
	return Character == ' ' || Character == '\t' || Character == '\n' || Character == '\r' || Character == '\v' || Character == '\f';
}
