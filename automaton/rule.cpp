// The rule's parameters and the picks that set and mutate them. Each parameter is
// computed in double precision and rounded to single precision when stored.
#include "automaton/rule.h"

#include "automaton/random.h"

float rule_weights[rule_taps];
float rule_gain;

static float random_parameter()
{
    return static_cast<float>(random_in_range(0, 1000) / 500.0 - 1.0);
}

static float mutate_parameter(float value)
{
    const double change = random_in_range(0, 1000) / 10000.0 - 0.05;
    return static_cast<float>(static_cast<double>(value) + change);
}

void randomize_rule()
{
    for (float &w : rule_weights)
        w = random_parameter();
    rule_gain = random_parameter();
}

void mutate_rule()
{
    for (float &w : rule_weights)
        w = mutate_parameter(w);
    rule_gain = mutate_parameter(rule_gain);
}
