#include "SampleSkeleton.h"

#include "Misc/FileHelper.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>
#include <queue>
#include <utility>

namespace
{
	using FJson = nlohmann::ordered_json;

	bool ReadJson(const FString& Filename, FJson& OutJson, FString& OutError)
	{
		FString Text;
		if (!FFileHelper::LoadFileToString(Text, *Filename))
		{
			OutError = FString::Printf(TEXT("cannot read %s"), *Filename);
			return false;
		}
		try
		{
			OutJson = FJson::parse(Text.ToStdString());
		}
		catch (const FJson::exception& Error)
		{
			OutError = FString::Printf(TEXT("%s: %s"), *Filename, Error.what());
			return false;
		}
		if (!OutJson.is_object())
		{
			OutError = FString::Printf(TEXT("%s: the top level is not an object"), *Filename);
			return false;
		}
		return true;
	}

	FString ToFString(const std::string& Text) { return FString(Text); }

	/** The member Key of Object, or null when it has none (operator[] would insert one). */
	const FJson& Member(const FJson& Object, const std::string& Key)
	{
		static const FJson Null;
		const auto Found = Object.find(Key);
		return Found != Object.end() ? *Found : Null;
	}

	/** The rotation whose matrix has the orthonormal, right-handed columns X, Y, Z. */
	FQuat QuatFromAxes(const FVector& X, const FVector& Y, const FVector& Z)
	{
		// The largest of W, X, Y, Z comes from the diagonal first so the division is by at least one.
		const double Trace = X.X + Y.Y + Z.Z;
		FQuat Result;
		if (Trace > 0.0)
		{
			const double S = std::sqrt(Trace + 1.0) * 2.0;
			Result = FQuat((Y.Z - Z.Y) / S, (Z.X - X.Z) / S, (X.Y - Y.X) / S, S / 4.0);
		}
		else if (X.X >= Y.Y && X.X >= Z.Z)
		{
			const double S = std::sqrt(1.0 + X.X - Y.Y - Z.Z) * 2.0;
			Result = FQuat(S / 4.0, (X.Y + Y.X) / S, (Z.X + X.Z) / S, (Y.Z - Z.Y) / S);
		}
		else if (Y.Y >= Z.Z)
		{
			const double S = std::sqrt(1.0 + Y.Y - X.X - Z.Z) * 2.0;
			Result = FQuat((X.Y + Y.X) / S, S / 4.0, (Y.Z + Z.Y) / S, (Z.X - X.Z) / S);
		}
		else
		{
			const double S = std::sqrt(1.0 + Z.Z - X.X - Y.Y) * 2.0;
			Result = FQuat((Z.X + X.Z) / S, (Y.Z + Z.Y) / S, S / 4.0, (X.Y - Y.X) / S);
		}
		return Result.GetNormalized();
	}

	/** Up with its component along X taken out, or nothing when up is (nearly) along X. */
	bool Perpendicular(const FVector& Up, const FVector& X, FVector& OutZ)
	{
		constexpr double MinSine = 1e-3;
		if (Up.Size() < UE_SMALL_NUMBER)
		{
			return false;
		}
		const FVector UpDirection = Up.GetSafeNormal();
		OutZ = UpDirection - X * (UpDirection | X);
		return OutZ.Normalize(MinSine * MinSine);
	}
}

bool FSampleSkeleton::Load(const FString& SkeletonFile, const FString& WeightsFile, FString& OutError)
{
	FJson Skeleton;
	FJson WeightsJson;
	if (!ReadJson(SkeletonFile, Skeleton, OutError) || !ReadJson(WeightsFile, WeightsJson, OutError))
	{
		return false;
	}
	auto Fail = [&OutError](const FString& File, const FString& Reason)
	{
		OutError = FString::Printf(TEXT("%s: %s"), *File, *Reason);
		return false;
	};

	const FJson& JointsJson = Member(Skeleton, "joints");
	const FJson& PlanesJson = Member(Skeleton, "planes");
	const FJson& BonesJson = Member(Skeleton, "bones");
	if (!JointsJson.is_object() || !BonesJson.is_object() || !(PlanesJson.is_object() || PlanesJson.is_null()))
	{
		return Fail(SkeletonFile, TEXT("\"bones\" and \"joints\" must be objects (and \"planes\", when present)"));
	}

	TArray<FString> NewJointNames;
	TArray<TArray<int32>> NewJointVertices;
	TMap<FString, int32> JointIndex;
	for (const auto& [Name, Vertices] : JointsJson.items())
	{
		if (JointIndex.Contains(ToFString(Name)))
		{
			return Fail(SkeletonFile, FString::Printf(TEXT("joint name %s is used twice (names ignore letter case)"), Name.c_str()));
		}
		if (!Vertices.is_array() || Vertices.empty())
		{
			return Fail(SkeletonFile, FString::Printf(TEXT("joint %s needs a non-empty list of vertices"), Name.c_str()));
		}
		TArray<int32>& List = NewJointVertices.AddDefaulted_GetRef();
		for (const FJson& Vertex : Vertices)
		{
			if (!Vertex.is_number_integer() || Vertex.get<int64>() < 0 || Vertex.get<int64>() > MAX_int32)
			{
				return Fail(SkeletonFile, FString::Printf(TEXT("joint %s lists %s, which is no vertex index"), Name.c_str(), Vertex.dump().c_str()));
			}
			List.Add(Vertex.get<int32>());
		}
		JointIndex.Add(ToFString(Name), NewJointNames.Add(ToFString(Name)));
	}
	auto FindJoint = [&JointIndex](const FJson& Name) -> int32
	{
		const int32* Found = Name.is_string() ? JointIndex.Find(ToFString(Name.get<std::string>())) : nullptr;
		return Found ? *Found : INDEX_NONE;
	};

	// File order first; the stable parents-first order is worked out once every bone is known.
	TArray<FBone> FileBones;
	TArray<FString> ParentNames;
	TMap<FName, int32> FileIndex;
	for (const auto& [Name, Bone] : BonesJson.items())
	{
		const FString BoneName = ToFString(Name);
		if (Name.empty() || FileIndex.Contains(FName(BoneName)))
		{
			return Fail(SkeletonFile, FString::Printf(TEXT("bone name \"%s\" is empty or used twice (names ignore letter case)"), *BoneName));
		}
		if (!Bone.is_object())
		{
			return Fail(SkeletonFile, FString::Printf(TEXT("bone %s is not an object"), *BoneName));
		}
		FBone& NewBone = FileBones.AddDefaulted_GetRef();
		NewBone.Name = FName(BoneName);
		NewBone.Head = FindJoint(Member(Bone, "head"));
		NewBone.Tail = FindJoint(Member(Bone, "tail"));
		if (NewBone.Head == INDEX_NONE || NewBone.Tail == INDEX_NONE)
		{
			return Fail(SkeletonFile, FString::Printf(TEXT("bone %s needs a head and a tail joint listed in \"joints\""), *BoneName));
		}
		const FJson& Plane = Member(Bone, "rotation_plane");
		if (!Plane.is_null())
		{
			const FJson& PlaneJoints = Plane.is_string() ? Member(PlanesJson, Plane.get<std::string>()) : Plane;
			if (!PlaneJoints.is_array() || PlaneJoints.size() != 3)
			{
				return Fail(SkeletonFile, FString::Printf(TEXT("bone %s: rotation plane %s is not a plane of three joints"), *BoneName, Plane.dump().c_str()));
			}
			for (int32 Corner = 0; Corner < 3; ++Corner)
			{
				NewBone.Plane[Corner] = FindJoint(PlaneJoints[Corner]);
				if (NewBone.Plane[Corner] == INDEX_NONE)
				{
					return Fail(SkeletonFile, FString::Printf(TEXT("bone %s: plane joint %s is not listed in \"joints\""), *BoneName, PlaneJoints[Corner].dump().c_str()));
				}
			}
		}
		const FJson& Parent = Member(Bone, "parent");
		if (!Parent.is_null() && !Parent.is_string())
		{
			return Fail(SkeletonFile, FString::Printf(TEXT("bone %s: the parent must be a bone name or null"), *BoneName));
		}
		ParentNames.Add(Parent.is_string() ? ToFString(Parent.get<std::string>()) : FString());
		FileIndex.Add(NewBone.Name, FileBones.Num() - 1);
	}

	if (FileBones.IsEmpty())
	{
		return Fail(SkeletonFile, TEXT("the skeleton has no bones"));
	}

	// Kahn's algorithm, always taking the ready bone that comes first in the file.
	TArray<TArray<int32>> Children;
	Children.SetNum(FileBones.Num());
	std::priority_queue<int32, std::vector<int32>, std::greater<int32>> Ready;
	TArray<int32> FileParent;
	for (int32 Index = 0; Index < FileBones.Num(); ++Index)
	{
		if (ParentNames[Index].IsEmpty())
		{
			if (!Ready.empty())
			{
				return Fail(SkeletonFile, FString::Printf(TEXT("bones %s and %s are both roots; a skeleton has one"),
					*FileBones[Ready.top()].Name.ToString(), *FileBones[Index].Name.ToString()));
			}
			Ready.push(Index);
			FileParent.Add(INDEX_NONE);
			continue;
		}
		const int32* Parent = FileIndex.Find(FName(ParentNames[Index]));
		if (!Parent)
		{
			return Fail(SkeletonFile, FString::Printf(TEXT("bone %s: parent %s is not a bone"), *FileBones[Index].Name.ToString(), *ParentNames[Index]));
		}
		FileParent.Add(*Parent);
		Children[*Parent].Add(Index);
	}
	TArray<int32> NewIndexOfFile;
	NewIndexOfFile.Init(INDEX_NONE, FileBones.Num());
	TArray<FBone> NewBones;
	while (!Ready.empty())
	{
		const int32 Index = Ready.top();
		Ready.pop();
		FBone& Bone = NewBones.Add_GetRef(FileBones[Index]);
		Bone.Parent = FileParent[Index] == INDEX_NONE ? INDEX_NONE : NewIndexOfFile[FileParent[Index]];
		NewIndexOfFile[Index] = NewBones.Num() - 1;
		for (int32 Child : Children[Index])
		{
			Ready.push(Child);
		}
	}
	if (NewBones.Num() != FileBones.Num())
	{
		const int32 Stuck = NewIndexOfFile.IndexOfByKey(INDEX_NONE);
		return Fail(SkeletonFile, NewBones.IsEmpty() ? FString(TEXT("no root bone (every bone has a parent)"))
			: FString::Printf(TEXT("bone %s is not below the root (a parent cycle)"), *FileBones[Stuck].Name.ToString()));
	}

	const FJson& WeightsByBone = Member(WeightsJson, "weights");
	if (!WeightsByBone.is_object())
	{
		return Fail(WeightsFile, TEXT("\"weights\" must be an object"));
	}
	TArray<TArray<FInfluence>> NewInfluences;
	for (const auto& [Name, Pairs] : WeightsByBone.items())
	{
		const int32* Bone = FileIndex.Find(FName(ToFString(Name)));
		if (!Bone)
		{
			return Fail(WeightsFile, FString::Printf(TEXT("weights for %s, which is not a bone of %s"), Name.c_str(), *SkeletonFile));
		}
		if (!Pairs.is_array())
		{
			return Fail(WeightsFile, FString::Printf(TEXT("the weights of %s must be a list"), Name.c_str()));
		}
		for (const FJson& Pair : Pairs)
		{
			if (!Pair.is_array() || Pair.size() != 2 || !Pair[0].is_number_integer() || Pair[0].get<int64>() < 0 || Pair[0].get<int64>() > MAX_int32
				|| !Pair[1].is_number() || !(Pair[1].get<double>() >= 0.0) || !std::isfinite(Pair[1].get<double>()))
			{
				return Fail(WeightsFile, FString::Printf(TEXT("bone %s: %s is not a [vertex, weight] pair with a vertex index and a weight of 0 or more"),
					Name.c_str(), Pair.dump().c_str()));
			}
			const int32 Vertex = Pair[0].get<int32>();
			const float Weight = Pair[1].get<float>();
			if (Weight <= 0.0f)
			{
				continue;
			}
			if (Vertex >= NewInfluences.Num())
			{
				NewInfluences.SetNum(Vertex + 1);
			}
			const int32 NewBone = NewIndexOfFile[*Bone];
			FInfluence* Existing = NewInfluences[Vertex].FindByPredicate([NewBone](const FInfluence& Influence) { return Influence.Bone == NewBone; });
			if (Existing)
			{
				Existing->Weight += Weight;
			}
			else
			{
				NewInfluences[Vertex].Add({NewBone, Weight});
			}
		}
	}

	Bones = std::move(NewBones);
	JointNames = std::move(NewJointNames);
	JointVertices = std::move(NewJointVertices);
	VertexInfluences = std::move(NewInfluences);
	return true;
}

bool FSampleSkeleton::CheckVertexCount(int32 NumVertices, FString& OutError) const
{
	for (int32 Joint = 0; Joint < JointVertices.Num(); ++Joint)
	{
		for (int32 Vertex : JointVertices[Joint])
		{
			if (Vertex >= NumVertices)
			{
				OutError = FString::Printf(TEXT("joint %s uses vertex %d of a mesh with %d vertices"), *JointNames[Joint], Vertex, NumVertices);
				return false;
			}
		}
	}
	for (int32 Vertex = NumVertices; Vertex < VertexInfluences.Num(); ++Vertex)
	{
		if (!VertexInfluences[Vertex].IsEmpty())
		{
			OutError = FString::Printf(TEXT("bone %s weights vertex %d of a mesh with %d vertices"),
				*Bones[VertexInfluences[Vertex][0].Bone].Name.ToString(), Vertex, NumVertices);
			return false;
		}
	}
	return true;
}

int32 FSampleSkeleton::FindBone(FName BoneName) const
{
	return Bones.IndexOfByPredicate([BoneName](const FBone& Bone) { return Bone.Name == BoneName; });
}

TArray<FVector3f> FSampleSkeleton::ComputeJointPositions(const TArray<FVector3f>& Positions) const
{
	TArray<FVector3f> Result;
	Result.Reserve(JointVertices.Num());
	for (int32 Joint = 0; Joint < JointVertices.Num(); ++Joint)
	{
		// Summed in double: a joint may average two dozen vertices far from the origin.
		FVector Sum(0, 0, 0);
		for (int32 Vertex : JointVertices[Joint])
		{
			checkf(Positions.IsValidIndex(Vertex), TEXT("joint %s uses vertex %d of a mesh with %d vertices"), *JointNames[Joint], Vertex, Positions.Num());
			Sum += FVector(Positions[Vertex]);
		}
		Result.Add(FVector3f(Sum / double(JointVertices[Joint].Num())));
	}
	return Result;
}

TArray<FTransform> FSampleSkeleton::ComputeRefPose(const TArray<FVector3f>& Positions) const
{
	const TArray<FVector3f> Joints = ComputeJointPositions(Positions);
	TArray<FTransform> World;
	TArray<FTransform> Local;
	World.Reserve(Bones.Num());
	Local.Reserve(Bones.Num());
	for (const FBone& Bone : Bones)
	{
		const FVector Head(Joints[Bone.Head]);
		FVector X = FVector(Joints[Bone.Tail]) - Head;
		FQuat Rotation = Bone.Parent == INDEX_NONE ? FQuat::Identity : World[Bone.Parent].GetRotation();
		if (X.Normalize(UE_SMALL_NUMBER))
		{
			FVector Z;
			bool bHasZ = false;
			if (Bone.Plane[0] != INDEX_NONE)
			{
				const FVector A(Joints[Bone.Plane[0]]);
				const FVector B(Joints[Bone.Plane[1]]);
				const FVector C(Joints[Bone.Plane[2]]);
				bHasZ = Perpendicular((B - A) ^ (C - B), X, Z);
			}
			if (!bHasZ && !Perpendicular(FVector(0, 0, 1), X, Z))
			{
				verify(Perpendicular(FVector(1, 0, 0), X, Z));
			}
			const FVector Y = (Z ^ X).GetSafeNormal();
			Rotation = QuatFromAxes(X, Y, X ^ Y);
		}
		const FTransform BoneWorld(Rotation, Head);
		World.Add(BoneWorld);
		// World = Local * ParentWorld (the engine applies the left transform first).
		Local.Add(Bone.Parent == INDEX_NONE ? BoneWorld : BoneWorld * World[Bone.Parent].Inverse());
	}
	return Local;
}

FReferenceSkeleton FSampleSkeleton::MakeReferenceSkeleton(const TArray<FTransform>& LocalPose) const
{
	checkf(LocalPose.Num() == Bones.Num(), TEXT("a reference pose of %d transforms for a skeleton of %d bones"), LocalPose.Num(), Bones.Num());
	FReferenceSkeleton RefSkeleton;
	FReferenceSkeletonModifier Modifier(RefSkeleton, nullptr);
	for (int32 Index = 0; Index < Bones.Num(); ++Index)
	{
		Modifier.Add(FMeshBoneInfo(Bones[Index].Name, Bones[Index].Name.ToString(), Bones[Index].Parent), LocalPose[Index]);
	}
	return RefSkeleton;
}

TArray<FSkinWeightInfo> FSampleSkeleton::GetSkinWeights(const TArray<int32>& SourceVertices) const
{
	constexpr int32 MaxInfluences = 4;
	constexpr int32 FullWeight = 65535;
	checkf(!Bones.IsEmpty(), TEXT("skin weights from a skeleton that was not loaded"));
	TArray<FSkinWeightInfo> Result;
	Result.Reserve(SourceVertices.Num());
	for (int32 Vertex : SourceVertices)
	{
		checkf(Vertex >= 0, TEXT("skin weights asked for vertex %d"), Vertex);
		FSkinWeightInfo& Info = Result.AddDefaulted_GetRef();
		TArray<FInfluence> Strongest = VertexInfluences.IsValidIndex(Vertex) ? VertexInfluences[Vertex] : TArray<FInfluence>();
		std::sort(Strongest.begin(), Strongest.end(), [](const FInfluence& A, const FInfluence& B)
			{ return A.Weight != B.Weight ? A.Weight > B.Weight : A.Bone < B.Bone; });
		const int32 Count = FMath::Min(Strongest.Num(), MaxInfluences);
		double Total = 0.0;
		for (int32 Slot = 0; Slot < Count; ++Slot)
		{
			Total += Strongest[Slot].Weight;
		}
		if (Count == 0 || Total <= 0.0)
		{
			Info.InfluenceBones[0] = 0;
			Info.InfluenceWeights[0] = FullWeight;
			continue;
		}
		// Rounded down, then the units lost to rounding go to the largest remainders, so the sum
		// is exactly 65535 and no weight is off by more than one unit.
		int32 Quantised[MaxInfluences] = {};
		double Remainder[MaxInfluences] = {};
		int32 Sum = 0;
		for (int32 Slot = 0; Slot < Count; ++Slot)
		{
			const double Exact = Strongest[Slot].Weight / Total * FullWeight;
			Quantised[Slot] = int32(std::floor(Exact));
			Remainder[Slot] = Exact - Quantised[Slot];
			Sum += Quantised[Slot];
		}
		while (Sum < FullWeight)
		{
			int32 Best = 0;
			for (int32 Slot = 1; Slot < Count; ++Slot)
			{
				Best = Remainder[Slot] > Remainder[Best] ? Slot : Best;
			}
			++Quantised[Best];
			Remainder[Best] = -1.0;
			++Sum;
		}
		int32 Used = 0;
		for (int32 Slot = 0; Slot < Count; ++Slot)
		{
			if (Quantised[Slot] > 0)
			{
				Info.InfluenceBones[Used] = FBoneIndexType(Strongest[Slot].Bone);
				Info.InfluenceWeights[Used] = uint16(Quantised[Slot]);
				++Used;
			}
		}
	}
	return Result;
}
