#include "JsonUtilitiesTestTypes.h"

int32 FJsonTestTracked::Live = 0;

int32 UJsonTestCallee::Add(int32 A, int32 B) const
{
	return A + B + Offset;
}

bool UJsonTestCallee::Split(const FString& Text, const FString& Separator, TArray<FString>& Parts, int32& Limit)
{
	TArray<FString> All;
	Text.ParseIntoArray(All, *Separator);
	Parts.Reset();
	for (int32 Index = 0; Index < All.Num() && Index < Limit; ++Index)
	{
		Parts.Add(All[Index]);
	}
	Limit = All.Num() - Parts.Num();
	return !Parts.IsEmpty();
}

FJsonTestCharacter UJsonTestCallee::MakeCharacter(const FString& Name, EJsonTestShade Shade, const TArray<float>& Weights)
{
	FJsonTestCharacter Character;
	Character.name = FString::Printf(TEXT("%s:%d"), *Name, static_cast<int32>(Shade));
	Character.blends = Weights;
	return Character;
}

void UJsonTestCallee::Spend(int32 Amount)
{
	checkf(Amount >= 0, TEXT("cannot spend %d"), Amount);
	Offset -= Amount;
}

int32 UJsonTestCallee::Track(const FJsonTestTracked& Tracked, int32 Amount)
{
	check(Amount >= 0);
	return Tracked.value + Amount;
}
