#include "SampleRegions.h"

#include <algorithm>
#include <cmath>

namespace
{
	const TCHAR* const Sides[] = {TEXT("l"), TEXT("r")};
}

bool FSampleRegions::Init(const FSampleSourceMesh& InMesh, FString& OutError)
{
	Mesh = &InMesh;
	auto Centre = [&](const FString& Name, FVector3f& Out)
	{
		const int32 Group = InMesh.FindGroup(Name);
		if (Group == INDEX_NONE)
		{
			OutError = FString::Printf(TEXT("the base mesh has no joint marker %s"), *Name);
			return false;
		}
		Out = InMesh.GetGroupCentre(Group, InMesh.Positions);
		return true;
	};
	FVector3f Neck, Head, Waist;
	if (!Centre(TEXT("joint-neck"), Neck) || !Centre(TEXT("joint-head"), Head) || !Centre(TEXT("joint-spine-3"), Waist) || !Centre(TEXT("joint-mouth"), Mouth) ||
		!Centre(TEXT("joint-l-eye"), Eyes[0]) || !Centre(TEXT("joint-r-eye"), Eyes[1]))
	{
		return false;
	}
	HeadHeight = 0.5f * (Neck.Z + Head.Z);
	WaistHeight = Waist.Z;
	// Nails sit on the last joint of each digit, on the side facing away from the one before it.
	Tips.Reset();
	TipDirections.Reset();
	for (const TCHAR* Side : Sides)
	{
		for (int32 Digit = 1; Digit <= 5; ++Digit)
		{
			for (const TCHAR* Kind : {TEXT("finger"), TEXT("toe")})
			{
				const int32 Last = (FString(Kind) == TEXT("toe") && Digit == 1) ? 3 : 4;
				FVector3f Tip, Before;
				if (!Centre(FString::Printf(TEXT("joint-%s-%s-%d-%d"), Side, Kind, Digit, Last), Tip) ||
					!Centre(FString::Printf(TEXT("joint-%s-%s-%d-%d"), Side, Kind, Digit, Last - 1), Before))
				{
					return false;
				}
				Tips.Add(Tip);
				TipDirections.Add((Tip - Before).GetSafeNormal());
			}
		}
	}
	return true;
}

float FSampleRegions::GetFaceHeight(const FSampleSourceMesh::FFace& Face) const
{
	float Height = 0.0f;
	for (int32 Corner = 0; Corner < Face.NumCorners; ++Corner)
	{
		Height += Mesh->Positions[Face.Vertices[Corner]].Z;
	}
	return Height / float(Face.NumCorners);
}

bool FSampleRegions::IsHeadFace(const FSampleSourceMesh::FFace& Face) const
{
	return GetFaceHeight(Face) > HeadHeight;
}

bool FSampleRegions::IsBelowWaist(const FSampleSourceMesh::FFace& Face) const
{
	return GetFaceHeight(Face) < WaistHeight;
}

float FSampleRegions::Ellipsoid(const FVector3f& Point, const FVector3f& Centre, const FVector3f& Radii, float Feather)
{
	const FVector3f D = Point - Centre;
	const float R = std::sqrt((D.X * D.X) / (Radii.X * Radii.X) + (D.Y * D.Y) / (Radii.Y * Radii.Y) + (D.Z * D.Z) / (Radii.Z * Radii.Z));
	return std::clamp((Feather - R) / (Feather - 1.0f), 0.0f, 1.0f);
}

float FSampleRegions::GetLipsWeight(int32 Vertex) const
{
	const FVector3f& P = Mesh->Positions[Vertex];
	// The mouth marker sits inside the mouth; the lips are in front of it.
	if (P.X < Mouth.X)
	{
		return 0.0f;
	}
	return Ellipsoid(P, Mouth + FVector3f(1.5f, 0.0f, 0.0f), FVector3f(2.0f, 2.4f, 1.0f), 1.4f);
}

float FSampleRegions::AroundEyes(int32 Vertex, const FVector3f& Offset, const FVector3f& Radii, float Feather) const
{
	const FVector3f& P = Mesh->Positions[Vertex];
	float Weight = 0.0f;
	for (const FVector3f& Eye : Eyes)
	{
		// Only the face in front of the eye; the back of the head lies within reach too.
		if (P.X > Eye.X)
		{
			Weight = std::max(Weight, Ellipsoid(P, Eye + Offset, Radii, Feather));
		}
	}
	return Weight;
}

float FSampleRegions::GetBrowsWeight(int32 Vertex) const
{
	return AroundEyes(Vertex, FVector3f(1.0f, 0.0f, 2.0f), FVector3f(2.0f, 2.0f, 0.45f), 1.5f);
}

float FSampleRegions::GetEyelidsWeight(int32 Vertex) const
{
	// The upper lids lie in front of and above each eye's centre.
	return AroundEyes(Vertex, FVector3f(2.0f, 0.0f, 1.4f), FVector3f(1.2f, 1.5f, 0.7f), 1.6f) * EyelidOpacity;
}

float FSampleRegions::GetNailsWeight(int32 Vertex) const
{
	const FVector3f& P = Mesh->Positions[Vertex];
	float Weight = 0.0f;
	for (int32 Index = 0; Index < Tips.Num(); ++Index)
	{
		// The nail is on the back of the last phalanx: above the tip joint, not past it.
		const FVector3f D = P - Tips[Index];
		if (D.Z > 0.0f && FVector3f::DotProduct(D, TipDirections[Index]) < 0.6f)
		{
			Weight = std::max(Weight, Ellipsoid(P, Tips[Index], FVector3f(1.0f, 1.0f, 1.0f), 1.3f));
		}
	}
	return Weight;
}
