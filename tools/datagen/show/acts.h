// The acts of the show, each the scenes of one folder of the scene table.
// Each writes its scenes and the meshes and pictures only it uses; the
// shared library of the show (craft, flares) is written first by WriteCommon.
#pragma once

#include <string>

bool WriteCommon(const std::string& root);
bool WriteIntro(const std::string& root);
bool WriteStartPit(const std::string& root);
bool WriteCanyon(const std::string& root);
bool WriteOverlays(const std::string& root);
bool WriteBigWall(const std::string& root);
bool WriteCity(const std::string& root);
bool WriteGarage(const std::string& root);
bool WriteGoal(const std::string& root);
bool WriteScrollText(const std::string& root);
