#include "CoreMinimal.h"
#include <gtest/gtest.h>
TEST(Smoke, Builds) { FString S = FString::Printf("%d", 3); EXPECT_EQ(S, "3"); UE_LOG(LogTemp, Warning, "hi %s", *S); }
