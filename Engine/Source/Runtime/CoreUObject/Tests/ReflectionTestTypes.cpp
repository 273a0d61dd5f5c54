#include "ReflectionTestTypes.h"

int32 UTestObject::DestroyedCount = 0;

int32 UTestObject::Add(int32 A, int32 B) const
{
	return A + B + Number;
}

bool UTestObject::Fill(const FString& Prefix, TArray<FString>& OutItems, int32 Count)
{
	check(Count >= 0);
	for (int32 Index = 0; Index < Count; ++Index)
	{
		OutItems.Add(Prefix + LexToString(Index));
	}
	return Count > 0;
}

float UTestObject::Half(float Value)
{
	return Value / 2.0f;
}

FString UTestObject::Describe_Implementation(int32 Level)
{
	return FString::Printf(TEXT("object %d"), Level);
}

void UTestObject::BeginDestroy()
{
	++DestroyedCount;
	Super::BeginDestroy();
}

void UTestDerived::OnPicked(int32 Index)
{
	LastPicked = Index;
}

FString UTestDerived::Describe_Implementation(int32 Level)
{
	return FString::Printf(TEXT("derived %d"), Level);
}
