// vendralith: the SAP MaxDB log sensor for the monitoring host's EXE/XML sensors.
#include <string>
#include <vector>

#include "run/sensor.h"

int main(int argc, char** argv) {
  vendralith::RunSensor(std::vector<std::string>(argv, argv + argc));
}
