#pragma once

#include "parameters/parameterset.h"

// A complete parameter set within every range: the values of the example
// record 3000,100,50,10,10,20,40,60,60,60,60,60,60,60,10,20,30,0,2,800,0,
// "E35L-050",1,1.
inline ParameterSet ExampleParameterSet()
{
    ParameterSet s;
    s.gParaStroke = 3000;
    s.gParaHomeOffset = 100;
    s.gParaHomeOsikomi = 50;
    s.gParaGentenModori = 10;
    s.gParaGentenHanten = 10;
    s.gParaKasokuSet = {20, 40, 60, 60, 60, 60, 60, 60, 60};
    s.gParaJog = {10, 20, 30};
    s.gParaVertical = ParaValue::number(0);
    s.gParaLead = 2;
    s.gParaPulse = 800;
    s.gParaType = 0;
    s.gParaActuator = QStringLiteral("E35L-050");
    s.gParaActSize = QStringLiteral("E35");
    s.gParaActSpeed = QStringLiteral("L");
    s.gParaActStroke = 50;
    s.gParaEmgWay = 1;
    s.gParaEmgLogic = 1;
    return s;
}
