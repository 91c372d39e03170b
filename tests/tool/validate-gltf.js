#!/usr/bin/env node
// Runs the Khronos glTF validator on each file given; exits 1 when any file has an error.
// The validator is the npm package gltf-validator, installed globally by scripts/setup --tools.
'use strict';
const fs = require('fs');
const path = require('path');
const { execSync } = require('child_process');

function loadValidator() {
  try {
    return require('gltf-validator');
  } catch (e) {
    const globalRoot = execSync('npm root -g', { encoding: 'utf8' }).trim();
    return require(path.join(globalRoot, 'gltf-validator'));
  }
}

async function main(files) {
  const validator = loadValidator();
  let failed = false;
  for (const file of files) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
      maxIssues: 0,
      // A .gltf names its buffer beside it; a .glb must need nothing outside itself.
      externalResourceFunction: (uri) => file.endsWith('.gltf')
        ? new Promise((resolve) => resolve(new Uint8Array(
          fs.readFileSync(path.join(path.dirname(file), decodeURIComponent(uri))))))
        : Promise.reject(new Error('no external resources')),
    });
    const issues = report.issues;
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
                `${issues.numInfos} infos, ${issues.numHints} hints`);
    for (const message of issues.messages) {
      if (message.severity === 0)
        console.log(`  ${message.code} ${message.pointer || ''}: ${message.message}`);
    }
    if (issues.numErrors > 0)
      failed = true;
  }
  process.exit(failed ? 1 : 0);
}

main(process.argv.slice(2)).catch((e) => {
  console.error(`validate-gltf: ${e.message}`);
  process.exit(2);
});
