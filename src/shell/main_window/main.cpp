// vambrio: the window program.
int main() { return 0; }
