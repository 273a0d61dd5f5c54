#include "UniqueFileNames.h"

FString FUniqueFileNames::Claim(const FString& Name)
{
	const FString Stem = Sanitize(Name);
	FString Claimed = Stem;
	for (int32 Suffix = 1; Taken.Contains(Claimed); ++Suffix)
	{
		Claimed = FString::Printf(TEXT("%s_%d"), *Stem, Suffix);
	}
	Taken.Add(Claimed);
	return Claimed;
}

FString FUniqueFileNames::Sanitize(const FString& Name)
{
	FString Part = Name.IsEmpty() ? FString(TEXT("_")) : Name;
	for (int32 Index = 0; Index < Part.Len(); ++Index)
	{
		const TCHAR Character = Part[Index];
		const bool bKept = (Character >= 'a' && Character <= 'z') || (Character >= 'A' && Character <= 'Z') || (Character >= '0' && Character <= '9') ||
						   Character == '-' || Character == '_' || Character == '.';
		Part[Index] = bKept ? Character : TEXT('_');
	}
	// "." and ".." name folders, not files.
	return (Part == TEXT(".") || Part == TEXT("..")) ? Part.Replace(TEXT("."), TEXT("_")) : Part;
}
