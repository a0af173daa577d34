// The floor of the start-up measurement: a program that does nothing, built
// and linked like the sensor, so the difference is what the sensor does.
int main() { return 0; }
